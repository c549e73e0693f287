#include "PrintSystem.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>
#include <QQueue>

#include <cups/cups.h>

namespace {
struct Script {
    bool active = false;
    QQueue<QString> answers;
    int jobs = 0;
};

Script& script()
{
    static Script s;
    return s;
}
} // namespace

QString PrintSystem::print(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint)
{
    Script& s = script();
    if (s.active) {
        ++s.jobs;
        QBuffer job;
        job.open(QIODevice::WriteOnly);
        QPdfWriter standIn(&job);
        standIn.setPageLayout(printer.pageLayout());
        if (!paint(standIn))
            return QStringLiteral("The printer could not be opened.");
        return s.answers.isEmpty() ? QString() : s.answers.dequeue();
    }

    if (!paint(printer))
        return QStringLiteral("The printer could not be opened.");
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return {};
    // Qt's CUPS printer sends the job with cupsPrintFile() on this thread as painting ends, and
    // CUPS keeps the status of each thread's last request: that job's, success included.
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    const QString said = QString::fromUtf8(cupsLastErrorString());
    // A server that cannot be reached leaves only the system's word for its socket or address.
    if (status == IPP_STATUS_ERROR_INTERNAL || status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return QStringLiteral("The print system is not available (%1).").arg(said);
    return said;
}

void PrintSystem::startScripting() { script() = Script{true, {}, 0}; }

void PrintSystem::stopScripting() { script() = Script{}; }

void PrintSystem::queueAnswer(const QString& refusal) { script().answers.enqueue(refusal); }

int PrintSystem::jobCount() { return script().jobs; }
