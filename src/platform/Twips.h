#pragma once

#include <QRect>
#include <QSize>

// Places and sizes are designed in twips; 15 twips make one device-independent pixel,
// which Qt scales on high-DPI screens.
class Twips {
public:
    static constexpr double PerPixel = 15.0;
    static int px(double twips) { return int(twips / PerPixel + 0.5); }
    static QRect rect(int left, int top, int width, int height)
    {
        return QRect(px(left), px(top), px(width), px(height));
    }
    static QSize size(int width, int height) { return QSize(px(width), px(height)); }
};
