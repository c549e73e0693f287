#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;

// The print system behind a printer. Qt hands a finished job to CUPS as the printer's painter
// ends and drops CUPS's answer, so a queue refusing jobs, a paused one or a print system that
// has gone would lose the job without a word: the answer and the queue's state are asked for
// here. Tests answer in its place.
class PrintSystem {
public:
    // What became of a job: why the printer or the print system did not take it (empty when
    // taken), and for a job taken, why it waits (a paused queue; else empty). Each carries the
    // queue's own message where it has one.
    struct Outcome {
        QString refusal;
        QString waiting;
    };
    // Puts a job on the printer, `paint` drawing its pages (false when it could not).
    static Outcome print(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint);

    // Test seam: jobs are drawn on a stand-in, and each is answered with the next queued
    // answer of the print system (a refusal, empty when the job is taken) and of its queue.
    struct Answer {
        QString refusal;
        // The queue's name, its state and its own message ("Out of paper").
        QString queue;
        bool paused = false;
        QString message;
    };
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(const Answer& answer);
    static int jobCount();
};
