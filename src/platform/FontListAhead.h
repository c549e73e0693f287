#pragma once

#include <future>

typedef struct _FcConfig FcConfig;

// The font list DesignFont prefers, made on another thread while the application connects
// to the display: reading the system's font configuration is most of the fonts' cost at
// start, and needs nothing of Qt. Measured gain: 6 ms of a 63 ms start with the sample
// database (medians of 41 paired starts, spread 4-5 ms); within the spread with 10,000 and
// 50,000 items (docs/speed.md).
class FontListAhead {
public:
    using Reading = FcConfig* (*)();
    // A job to run once on another thread, before the QApplication.
    static std::packaged_task<void()> start(Reading read);
    // What the job read; read here where the job was dropped unrun or never made.
    static FcConfig* take(Reading read);
};
