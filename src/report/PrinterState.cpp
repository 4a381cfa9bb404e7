#include "report/PrinterState.h"

#include <QPrinter>
#include <QPrinterInfo>

#ifdef CLINORA_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace clinora::printer {

State stateFromAttributes(const std::function<QString(const char *)> &option)
{
    // The values of "printer-state" (RFC 8011): 3 idle, 4 processing, 5 stopped.
    static constexpr QLatin1String kStopped("5");
    State state;
    state.known = true;
    state.accepting = option("printer-is-accepting-jobs") != QLatin1String("false");
    state.stopped = option("printer-state") == kStopped;
    if (!state.accepting || state.stopped) {
        const QString reasons = option("printer-state-reasons");
        if (reasons != QLatin1String("none"))
            state.reason = reasons;
    }
    return state;
}

#ifdef CLINORA_HAVE_CUPS

namespace {

QString local(const char *s) { return s ? QString::fromLocal8Bit(s).trimmed() : QString(); }

// The printer's own message ("Rejecting Jobs", or the reason its keeper
// typed), which the list of destinations does not carry.
QString stateMessage(const char *printerUri)
{
    if (!printerUri)
        return QString();
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QString message;
    if (response) {
        if (ipp_attribute_t *a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
            message = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
        ippDelete(response);
    }
    return message;
}

} // namespace

State stateOf(const QString &printerName)
{
    State state;
    const qsizetype slash = printerName.indexOf(u'/');
    const QByteArray queue = (slash < 0 ? printerName : printerName.first(slash)).toLocal8Bit();
    const QByteArray instance = slash < 0 ? QByteArray() : printerName.sliced(slash + 1).toLocal8Bit();
    cups_dest_t *dest =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return state;
    state = stateFromAttributes(
        [dest](const char *name) { return local(cupsGetOption(name, dest->num_options, dest->options)); });
    if (!state.accepting || state.stopped) {
        // The printer's own message says more than the reasons' keywords.
        const QString message =
            stateMessage(cupsGetOption("printer-uri-supported", dest->num_options, dest->options));
        if (!message.isEmpty())
            state.reason = message;
    }
    cupsFreeDests(1, dest);
    return state;
}

QString sendFailure()
{
    // The toolkit hands the job over with this library on this thread and
    // keeps no answer: the library's last status is that answer.
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return QString();
    return local(cupsLastErrorString());
}

#else

State stateOf(const QString &printerName)
{
    State state;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull())
        return state;
    state.known = true;
    state.stopped = info.state() == QPrinter::Error;
    return state;
}

QString sendFailure() { return QString(); }

#endif

} // namespace clinora::printer
