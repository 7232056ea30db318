// Converts files the way `soffice --convert-to` does, but through an office
// that is already running, so that the tests' many fixture conversions do
// not each pay for an office start.
//
//   qlt-officeconvert PIPE --wait SECONDS
//   qlt-officeconvert PIPE FORMAT OUTDIR FILE...
//
// FORMAT is soffice's: "ext", "ext:Filter" or "ext:Filter:Options".
// Exit status: 0 done, 1 a file was not converted, 2 no office answers.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "core/fill/calc/unohelpers.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <cppuhelper/bootstrap.hxx>

using namespace CalcOffice;
using namespace com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

const char *const kOfficeFolder = "/usr/lib/libreoffice/program/";

// The export filter soffice picks for an extension alone, by document kind.
QString defaultFilter(const QString &extension, bool spreadsheet)
{
    static const std::map<std::string, const char *> text{
        {"docx", "MS Word 2007 XML"}, {"odt", "writer8"},           {"rtf", "Rich Text Format"},
        {"doc", "MS Word 97"},        {"pdf", "writer_pdf_Export"}, {"txt", "Text"},
        {"html", "HTML (StarWriter)"}};
    static const std::map<std::string, const char *> sheets{
        {"xlsx", "Calc MS Excel 2007 XML"}, {"ods", "calc8"},
        {"xls", "MS Excel 97"},             {"csv", "Text - txt - csv (StarCalc)"},
        {"pdf", "calc_pdf_Export"},         {"xlsm", "Calc MS Excel 2007 VBA XML"}};
    const auto &table = spreadsheet ? sheets : text;
    const auto found = table.find(extension.toStdString());
    return found == table.end() ? QString() : QString::fromLatin1(found->second);
}

Reference<frame::XComponentLoader> connectOffice(const QString &pipe)
{
    // Set up once: a waiting caller tries again and again.
    static const Reference<uno::XComponentContext> local = [] {
        qputenv("URE_BOOTSTRAP", QByteArray("vnd.sun.star.pathname:") + kOfficeFolder + "fundamentalrc");
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
    const QString url = QStringLiteral("uno:pipe,name=") + pipe + QStringLiteral(";urp;StarOffice.ComponentContext");
    Reference<uno::XComponentContext> remote(resolver->resolve(toOU(url)), UNO_QUERY_THROW);
    return Reference<frame::XComponentLoader>(frame::Desktop::create(remote), UNO_QUERY_THROW);
}

// How to store as FORMAT; empty when soffice would know no filter either.
uno::Sequence<beans::PropertyValue> storeProperties(const Reference<lang::XComponent> &document,
                                                    const QString &format)
{
    QString filter = format.section(QLatin1Char(':'), 1, 1);
    if (filter.isEmpty()) {
        Reference<lang::XServiceInfo> info(document, UNO_QUERY_THROW);
        const bool spreadsheet =
            info->supportsService(rtl::OUString::createFromAscii("com.sun.star.sheet.SpreadsheetDocument"));
        filter = defaultFilter(format.section(QLatin1Char(':'), 0, 0), spreadsheet);
        if (filter.isEmpty())
            return {};
    }
    uno::Sequence<beans::PropertyValue> store =
        properties({property("FilterName", uno::Any(toOU(filter))), property("Overwrite", uno::Any(true))});
    if (const QString options = format.section(QLatin1Char(':'), 2); !options.isEmpty()) {
        store.realloc(3);
        store.getArray()[2] = property("FilterOptions", uno::Any(toOU(options)));
    }
    return store;
}

// One file into OUTDIR, named as soffice names it; an empty answer is success.
QString convertOne(const Reference<frame::XComponentLoader> &loader, const QString &file, const QString &format,
                   const QString &outDir)
{
    const Reference<lang::XComponent> document =
        loader->loadComponentFromURL(toOU(fileUrl(file)), rtl::OUString::createFromAscii("_blank"), 0,
                                     properties({property("Hidden", uno::Any(true))}));
    if (!document.is())
        return QStringLiteral("the office could not open it");
    QString problem;
    try {
        const uno::Sequence<beans::PropertyValue> store = storeProperties(document, format);
        const QString extension = format.section(QLatin1Char(':'), 0, 0);
        const QString target = outDir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.') + extension;
        if (store.hasElements())
            Reference<frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(toOU(fileUrl(target)), store);
        else
            problem = QStringLiteral("no export filter known for .") + extension;
    } catch (const uno::Exception &e) {
        problem = fromOU(e.Message);
    }
    try {
        closeComponent(document);
    } catch (const uno::Exception &) {
        // left to the office, which the test run ends anyway
    }
    return problem;
}

int waitForOffice(const QString &pipe, int seconds)
{
    QDeadlineTimer deadline(seconds * 1000);
    do {
        try {
            connectOffice(pipe);
            return 0;
        } catch (const uno::Exception &) {
            QThread::msleep(200);
        }
    } while (!deadline.hasExpired());
    std::fprintf(stderr, "No office answers on pipe %s\n", qPrintable(pipe));
    return 2;
}

int convertAll(const QStringList &args)
{
    Reference<frame::XComponentLoader> loader;
    try {
        loader = connectOffice(args[0]);
    } catch (const uno::Exception &e) {
        std::fprintf(stderr, "No office answers on pipe %s: %s\n", qPrintable(args[0]), qPrintable(fromOU(e.Message)));
        return 2;
    }
    int status = 0;
    for (const QString &file : args.mid(3)) {
        QString problem;
        try {
            problem = convertOne(loader, file, args[1], args[2]);
        } catch (const uno::Exception &e) {
            problem = fromOU(e.Message);
        }
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(problem));
            status = 1;
        }
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int status = 2;
    if (args.size() == 3 && args[1] == QLatin1String("--wait"))
        status = waitForOffice(args[0], args[2].toInt());
    else if (args.size() >= 4)
        status = convertAll(args);
    else
        std::fprintf(stderr, "usage: %s PIPE FORMAT OUTDIR FILE... | PIPE --wait SECONDS\n", argv[0]);
    std::fflush(nullptr);
    // The bridge's threads may still run: leave without static destructors.
    std::_Exit(status);
}
