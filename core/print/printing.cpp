#include "core/print/printing.h"

#include "core/fill/officesession.h"
#include "core/render/printdocument.h"
#include "platform/officerun.h"
#include "platform/printing.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextDocument>

namespace {
Result<QPrinterInfo> defaultPrinter()
{
    // Printing nowhere must not look like success.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return Failure{QStringLiteral("No printer is available")};
    return info;
}

Status fromText(const QString &error)
{
    if (!error.isEmpty())
        return Failure{error};
    return {};
}
} // namespace

Status SystemPrinting::printText(const QByteArray &text, const QString &title)
{
    const Result<QPrinterInfo> target = defaultPrinter();
    if (!target)
        return target.failure();
    RtfReader::Document document = PrintDocument::forFile(text, title);
    if (document.truncated) // a part of a document must not pass for all of it
        return Failure{QStringLiteral("The document is too large to print this way")};
    // Painted into a PDF of our own that we hand to the spooler: Qt's own
    // print engine does the same but never says whether the spooler took
    // the job.
    QTemporaryDir folder;
    if (!folder.isValid())
        return Failure{QStringLiteral("Could not make a folder for the print job")};
    const QString pdf = folder.filePath(QStringLiteral("print.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setDocName(title);
        printer.setPageLayout(PrintDocument::pageLayout(document.page, target->defaultPageSize()));
        PrintDocument::paint(document, &printer);
        if (printer.printerState() == QPrinter::Error)
            return Failure{QStringLiteral("The printer reported an error")};
    }
    return fromText(Platform::submitToSpooler(pdf, target->printerName(), title));
}

Status SystemPrinting::printFile(const QString &path)
{
    const Result<QPrinterInfo> printer = defaultPrinter();
    if (!printer)
        return printer.failure();
    const QString name = printer->printerName();
    // Without a session, or an office that can print, or when the module
    // cannot start one: the print program, as always.
    const bool bySession = m_session && m_run && OfficeSession::printsThroughOffice(path) && Platform::officeCanPrint()
        && m_session->waitReady(*m_run);
    if (!bySession)
        return fromText(Platform::printFile(path, name));
    // The office does not say whether the spooler took its job: ask the
    // spooler before and after.
    if (const QString refusal = Platform::printerRefusal(name); !refusal.isEmpty())
        return Failure{refusal};
    const int before = Platform::newestJob(name);
    if (Status printed = m_session->print(path, name); !printed)
        return printed;
    return fromText(Platform::jobSince(name, before));
}
