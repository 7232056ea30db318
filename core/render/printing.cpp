#include "core/render/printing.h"

#include "core/fill/officesession.h"
#include "core/render/printdocument.h"
#include "platform/printing.h"

#include <QPrinter>
#include <QPrinterInfo>
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
} // namespace

Status SystemPrinting::printText(const QByteArray &text, const QString &title)
{
    const Result<QPrinterInfo> target = defaultPrinter();
    if (!target)
        return target.failure();
    QPrinter printer(*target, QPrinter::HighResolution);
    printer.setDocName(title);
    RtfReader::Document document = PrintDocument::forFile(text, title);
    if (document.truncated) // a part of a document must not pass for all of it
        return Failure{QStringLiteral("The document is too large to print this way")};
    printer.setPageLayout(PrintDocument::pageLayout(document.page, printer.pageLayout().pageSize()));
    PrintDocument::paint(document, &printer);
    if (printer.printerState() == QPrinter::Error)
        return Failure{QStringLiteral("The printer reported an error")};
    return {};
}

Status SystemPrinting::printFile(const QString &path)
{
    const Result<QPrinterInfo> printer = defaultPrinter();
    if (!printer)
        return printer.failure();
    // Without a session, or an office that can print, or when the module
    // cannot start one: the print program, as always.
    const bool bySession = m_session && m_run && OfficeSession::printsThroughOffice(path) && Platform::officeCanPrint()
        && m_session->waitReady(*m_run);
    if (bySession)
        return m_session->print(path, printer->printerName());
    const QString error = Platform::printFile(path);
    if (!error.isEmpty())
        return Failure{error};
    return {};
}
