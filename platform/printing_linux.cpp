#include "platform/printing.h"

#include "platform/officerun.h"
#include "platform/process.h"

#include <QFile>
#include <QFileInfo>

#include <cups/cups.h>

#include <algorithm>
#include <memory>

namespace Platform {

namespace {
constexpr int kPrintTimeoutMs = 180000;

QString runPrint(const QString &program, const QStringList &arguments)
{
    const RunResult run = runToEnd(program, arguments, kPrintTimeoutMs);
    if (!run.started)
        return QStringLiteral("Unable to start ") + program;
    if (!run.finished)
        return program + QStringLiteral(" did not finish printing");
    if (!run.succeeded)
        return program + QStringLiteral(" could not print") + (run.output.isEmpty() ? QString() : QStringLiteral(": ") + run.output);
    return QString();
}

struct DestDeleter {
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

// The spooler's entry for `printer`, or for the default printer when empty.
Dest destination(const QString &printer)
{
    const QByteArray name = printer.toUtf8();
    return Dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.isEmpty() ? nullptr : name.constData(), nullptr));
}

QString option(const cups_dest_t &dest, const char *name)
{
    return QString::fromUtf8(cupsGetOption(name, dest.num_options, dest.options));
}

QString lastError() { return QString::fromUtf8(cupsLastErrorString()); }

// The reason the printer's keeper gave (cupsreject -r), which the list of
// destinations leaves out: asked of the printer itself.
QString stateMessage(const cups_dest_t &dest)
{
    const QByteArray uri = option(dest, "printer-uri-supported").toUtf8();
    if (uri.isEmpty())
        return QString();
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state-message");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"); // takes the request
    ipp_attribute_t *message = response ? ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT) : nullptr;
    const QString text = message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    ippDelete(response);
    return text;
}

QString shown(const QString &printer) { return printer.isEmpty() ? QStringLiteral("default printer") : printer; }
} // namespace

QString printerRefusal(const QString &printer)
{
    const Dest dest = destination(printer);
    if (!dest)
        return QStringLiteral("The print spooler does not know the printer ") + shown(printer)
               + QStringLiteral(" (") + lastError() + QLatin1Char(')');
    if (option(*dest, "printer-is-accepting-jobs") != QStringLiteral("false"))
        return QString();
    const QString reason = stateMessage(*dest);
    return QStringLiteral("The printer ") + QString::fromUtf8(dest->name) + QStringLiteral(" does not accept jobs")
           + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
}

QString submitToSpooler(const QString &path, const QString &printer, const QString &title)
{
    // Asked first for the plain words and the reason the printer's keeper gave.
    if (const QString refusal = printerRefusal(printer); !refusal.isEmpty())
        return refusal;
    const Dest dest = destination(printer);
    if (!dest)
        return QStringLiteral("The printer ") + shown(printer) + QStringLiteral(" is gone");
    // The job number is the spooler's word that it has the job; without it
    // nothing will print, whatever the call answered.
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, dest->name, QFile::encodeName(path).constData(),
                                   title.toUtf8().constData(), 0, nullptr);
    if (job <= 0)
        return QStringLiteral("The printer ") + QString::fromUtf8(dest->name)
               + QStringLiteral(" did not take the job: ") + lastError();
    return QString();
}

int newestJob(const QString &printer)
{
    const Dest dest = destination(printer);
    if (!dest)
        return 0;
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, dest->name, 1, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return newest;
}

QString jobSince(const QString &printer, int job)
{
    if (newestJob(printer) > job)
        return QString();
    return QStringLiteral("The printer ") + shown(printer)
           + QStringLiteral(" got no job: the print program ended, but the print spooler has no job from it");
}

QString printFile(const QString &path, const QString &printer)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QStringLiteral("txt") || extension == QStringLiteral("pdf"))
        return submitToSpooler(path, printer, QFileInfo(path).fileName());
    if (!officeCanPrint())
        return QStringLiteral("No office program that can print is installed");
    // The office says nothing of the spooler's answer: ask the spooler.
    if (const QString refusal = printerRefusal(printer); !refusal.isEmpty())
        return refusal;
    const int before = newestJob(printer);
    QStringList arguments{QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                          QStringLiteral("--nolockcheck"),
                          QStringLiteral("-env:UserInstallation=") + officeProfileUrl(QStringLiteral("office-print-profile"))};
    arguments << (printer.isEmpty() ? QStringList{QStringLiteral("-p")} : QStringList{QStringLiteral("--pt"), printer})
              << path;
    if (const QString error = runPrint(officeProgram(), arguments); !error.isEmpty())
        return error;
    return jobSince(printer, before);
}

} // namespace Platform
