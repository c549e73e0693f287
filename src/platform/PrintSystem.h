#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;

// The print system behind a printer. Qt hands a finished job to CUPS as the printer's painter
// ends and drops CUPS's answer, so a queue refusing jobs or a print system that has gone would
// lose the job without a word: the answer is asked for here. Tests answer in its place.
class PrintSystem {
public:
    // Puts a job on the printer, `paint` drawing its pages (false when it could not). Why the
    // printer or the print system did not take the job; empty when it was taken.
    static QString print(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint);

    // Test seam: jobs are drawn on a stand-in, and each is answered with the next queued
    // reason for refusing it (an empty one takes it).
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(const QString& refusal);
    static int jobCount();
};
