#include "PrintSystem.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>
#include <QQueue>

#include <cups/cups.h>

#include <memory>

namespace {
struct Script {
    bool active = false;
    QQueue<PrintSystem::Answer> answers;
    int jobs = 0;
};

Script& script()
{
    static Script s;
    return s;
}

// The queue's name, whether it is paused and the message it gives, as CUPS tells them.
void askQueue(const QString& name, PrintSystem::Answer& answer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     name.toUtf8().constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-name", "printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"),
                                                                &ippDelete);
    answer.queue = name;
    if (!response)
        return;
    if (ipp_attribute_t* queue = ippFindAttribute(response.get(), "printer-name", IPP_TAG_NAME))
        answer.queue = QString::fromUtf8(ippGetString(queue, 0, nullptr));
    if (ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM))
        answer.paused = ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    // Without a reason given, CUPS's own words only repeat what the program says.
    if (ipp_attribute_t* message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT)) {
        const QString said = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
        if (said.compare(QLatin1String("Paused"), Qt::CaseInsensitive) != 0 &&
            said.compare(QLatin1String("Rejecting Jobs"), Qt::CaseInsensitive) != 0)
            answer.message = said;
    }
}

QString withMessage(const QString& said, const QString& message)
{
    return message.isEmpty() ? said : QStringLiteral("%1 The printer says: \"%2\".").arg(said, message);
}
} // namespace

PrintSystem::Outcome PrintSystem::print(QPrinter& printer, const std::function<bool(QPagedPaintDevice&)>& paint)
{
    Script& s = script();
    Answer answer;
    if (s.active) {
        ++s.jobs;
        QBuffer job;
        job.open(QIODevice::WriteOnly);
        QPdfWriter standIn(&job);
        standIn.setPageLayout(printer.pageLayout());
        if (!paint(standIn))
            return {QStringLiteral("The printer could not be opened."), {}};
        if (!s.answers.isEmpty())
            answer = s.answers.dequeue();
    } else {
        if (!paint(printer))
            return {QStringLiteral("The printer could not be opened."), {}};
        if (printer.outputFormat() != QPrinter::NativeFormat)
            return {};
        // Qt's CUPS printer sends the job with cupsPrintFile() on this thread as painting
        // ends, and CUPS keeps the status of each thread's last request: that job's, success
        // included.
        const ipp_status_t status = cupsLastError();
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
            const QString said = QString::fromUtf8(cupsLastErrorString());
            // A server that cannot be reached leaves only the system's word for its socket or address.
            if (status == IPP_STATUS_ERROR_INTERNAL || status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
                return {QStringLiteral("The print system is not available (%1).").arg(said), {}};
            answer.refusal = said;
        }
        askQueue(printer.printerName(), answer);
    }
    if (!answer.refusal.isEmpty())
        return {withMessage(answer.refusal, answer.message), {}};
    if (answer.paused) {
        return {
            {},
            withMessage(QStringLiteral("The printer \"%1\" is paused: the job waits in its queue.").arg(answer.queue),
                        answer.message)};
    }
    return {};
}

void PrintSystem::startScripting() { script() = Script{true, {}, 0}; }

void PrintSystem::stopScripting() { script() = Script{}; }

void PrintSystem::queueAnswer(const Answer& answer) { script().answers.enqueue(answer); }

int PrintSystem::jobCount() { return script().jobs; }
