#include "core/render/printing.h"

#include "core/render/rtfreader.h"
#include "platform/printing.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace {
QPrinterInfo defaultPrinter()
{
    // Printing nowhere must not look like success.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw RunError(QStringLiteral("No printer is available"));
    return info;
}
} // namespace

void SystemPrinting::printText(const QByteArray &text, const QString &title)
{
    QPrinter printer(defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(title);
    const auto document = RtfReader::toDocument(text);
    // A document with a page size prints as laid out, without the page
    // numbers Qt adds otherwise. Its units are 96 to the inch.
    document->setPageSize(printer.pageRect(QPrinter::Inch).size() * 96.0);
    document->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        throw RunError(QStringLiteral("The printer reported an error"));
}

void SystemPrinting::printFile(const QString &path)
{
    defaultPrinter();
    const QString error = Platform::printFile(path);
    if (!error.isEmpty())
        throw RunError(error);
}
