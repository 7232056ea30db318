#include "core/fill/calc/writerjobs.h"

#include "core/fill/calc/headlessoffice.h"

#include <QFileInfo>

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/view/XPrintable.hpp>

using namespace com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using namespace CalcOffice;

namespace WriterJobs {

namespace {
// A document loaded hidden, read-only and with macros off, closed on every
// way out.
class LoadedDocument {
public:
    LoadedDocument(const Loader &loader, const QString &path)
    {
        m_component = loadHidden(loader, path);
        if (!m_component.is())
            throw OfficeError(QStringLiteral("The office could not open ") + QFileInfo(path).fileName());
    }
    ~LoadedDocument()
    {
        try {
            closeComponent(m_component);
        } catch (const uno::Exception &) {
            // a document the office will not close goes with the office
        }
    }
    LoadedDocument(const LoadedDocument &) = delete;
    LoadedDocument &operator=(const LoadedDocument &) = delete;

    template <class Interface>
    Reference<Interface> as() const
    {
        return Reference<Interface>(m_component, UNO_QUERY_THROW);
    }

private:
    Reference<lang::XComponent> m_component;
};
} // namespace

void print(const Loader &loader, const QString &path, const QString &printer)
{
    LoadedDocument document(loader, path);
    try {
        Reference<view::XPrintable> printable = document.as<view::XPrintable>();
        if (!printer.isEmpty())
            printable->setPrinter(properties({property("Name", uno::Any(toOU(printer)))}));
        // Waits until the job is spooled: closing the document earlier
        // would cancel it.
        printable->print(properties({property("Wait", uno::Any(true))}));
    } catch (const uno::Exception &e) {
        rethrow(e);
    }
}

void exportPdf(const Loader &loader, const QString &path, const QString &pdfPath)
{
    LoadedDocument document(loader, path);
    try {
        document.as<frame::XStorable>()->storeToURL(
            toOU(fileUrl(pdfPath)), properties({property("FilterName", uno::Any(toOU(QStringLiteral("writer_pdf_Export")))),
                                                property("Overwrite", uno::Any(true))}));
    } catch (const uno::Exception &e) {
        rethrow(e);
    }
}

} // namespace WriterJobs
