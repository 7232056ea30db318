// LibreOffice Calc driven headless through its UNO API. Built as a module
// that QLT loads only when a workbook is to be filled.
#include "core/fill/calcmodule.h"
#include "core/fill/calc/headlessoffice.h"
#include "core/fill/calc/writerjobs.h"
#include "core/fill/spreadsheet.h"

#include <QFileInfo>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>

#include <type_traits>

using namespace com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using namespace CalcOffice;

namespace {

class CalcWorksheet {
public:
    explicit CalcWorksheet(Reference<sheet::XSpreadsheet> sheet) : m_sheet(std::move(sheet)) {}

    // Cells are read and written through their text, so "007" or "1/2"
    // stay text and are never turned into numbers or dates.
    QString cellText(int row, int column)
    {
        try {
            return fromOU(text(row, column)->getString());
        } catch (const uno::Exception &e) {
            rethrow(e);
        }
    }

    void setCellText(int row, int column, const QString &value)
    {
        try {
            // The empty text leaves a cell's content as it was: an empty
            // value clears the content instead, and keeps the format (the
            // workbook is loaded editable for that).
            if (value.isEmpty())
                Reference<sheet::XSheetOperation>(cell(row, column), UNO_QUERY_THROW)
                    ->clearContents(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING
                                    | sheet::CellFlags::FORMULA);
            else
                text(row, column)->setString(toOU(value));
        } catch (const uno::Exception &e) {
            rethrow(e);
        }
    }

private:
    Reference<table::XCell> cell(int row, int column) { return m_sheet->getCellByPosition(column - 1, row - 1); }
    Reference<text::XText> text(int row, int column) { return Reference<text::XText>(cell(row, column), UNO_QUERY_THROW); }

    Reference<sheet::XSpreadsheet> m_sheet;
};

class CalcWorkbook {
public:
    CalcWorkbook(const Reference<frame::XComponentLoader> &loader, const QString &path, bool editable)
    {
        m_component = loadHidden(loader, path, editable);
        if (!m_component.is())
            throw OfficeError(QStringLiteral("Unable to open the workbook"));
        m_document.set(m_component, UNO_QUERY);
        Reference<frame::XModel> model(m_component, UNO_QUERY);
        if (model.is())
            for (const beans::PropertyValue &p : model->getArgs()) {
                if (p.Name == "FilterName")
                    p.Value >>= m_filter;
                else if (p.Name == "FilterOptions")
                    p.Value >>= m_filterOptions;
            }
        // Plain text named like a workbook loads as comma-separated text, and
        // other documents load as what they are: neither is a spreadsheet.
        const bool textAsSheet = fromOU(m_filter).startsWith(QStringLiteral("Text - txt - csv"))
            && QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) != 0;
        if (!m_document.is() || textAsSheet) {
            close();
            throw OfficeError(QStringLiteral("The file is not a spreadsheet"));
        }
    }

    ~CalcWorkbook()
    {
        try {
            close();
        } catch (const OfficeError &) {
            // the office is gone or refuses: nothing more can be done here
        }
    }
    CalcWorkbook(const CalcWorkbook &) = delete;
    CalcWorkbook &operator=(const CalcWorkbook &) = delete;

    CalcWorksheet &worksheet(int position)
    {
        try {
            Reference<container::XIndexAccess> sheets(m_document->getSheets(), UNO_QUERY_THROW);
            if (position < 1 || position > sheets->getCount())
                throw OfficeError(Sheets::noSuchWorksheet(position));
            Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(position - 1), UNO_QUERY_THROW);
            m_sheet = std::make_unique<CalcWorksheet>(sheet);
            return *m_sheet;
        } catch (const uno::Exception &e) {
            rethrow(e);
        }
    }

    void saveAs(const QString &path)
    {
        try {
            // The loaded document's own filter keeps its file format.
            auto args = properties({property("FilterName", uno::Any(m_filter)), property("Overwrite", uno::Any(true))});
            if (!m_filterOptions.isEmpty()) {
                args.realloc(3);
                args.getArray()[2] = property("FilterOptions", uno::Any(m_filterOptions));
            }
            Reference<frame::XStorable> storable(m_component, UNO_QUERY_THROW);
            storable->storeToURL(toOU(fileUrl(path)), args);
        } catch (const uno::Exception &e) {
            rethrow(e);
        }
    }

    void close()
    {
        if (!m_component.is())
            return;
        Reference<lang::XComponent> component = m_component;
        m_component.clear();
        m_document.clear();
        m_sheet.reset();
        try {
            closeComponent(component);
        } catch (const uno::Exception &e) {
            rethrow(e);
        }
    }

private:
    Reference<lang::XComponent> m_component;
    Reference<sheet::XSpreadsheetDocument> m_document;
    std::unique_ptr<CalcWorksheet> m_sheet;
    rtl::OUString m_filter;
    rtl::OUString m_filterOptions;
};

// Runs one call of the module boundary: every failure becomes its
// description, so no exception leaves the module.
template <class Call>
auto guarded(Call &&call) noexcept -> Result<std::invoke_result_t<Call>>
{
    QString error;
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Call>>) {
            call();
            return {};
        } else {
            return call();
        }
    } catch (const OfficeError &e) {
        error = e.description;
    } catch (const uno::Exception &e) {
        error = describe(e);
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        error = QStringLiteral("LibreOffice reported an error");
    }
    return Failure{error};
}

class ModuleWorkbook : public CalcModule::Workbook {
public:
    ModuleWorkbook(std::shared_ptr<HeadlessOffice> office, std::unique_ptr<CalcWorkbook> book)
        : m_office(std::move(office)), m_book(std::move(book))
    {
    }
    ~ModuleWorkbook() override { m_book.reset(); } // closed while its office still runs

    Status selectWorksheet(int position) noexcept override
    {
        return guarded([&] { m_sheet = &m_book->worksheet(position); });
    }
    Result<QString> cellText(int row, int column) noexcept override
    {
        return guarded([&] { return sheet().cellText(row, column); });
    }
    Status setCellText(int row, int column, const QString &text) noexcept override
    {
        return guarded([&] { sheet().setCellText(row, column, text); });
    }
    Status saveAs(const QString &path) noexcept override
    {
        return guarded([&] { m_book->saveAs(path); });
    }
    Status close() noexcept override
    {
        m_sheet = nullptr;
        return guarded([&] { m_book->close(); });
    }

private:
    CalcWorksheet &sheet()
    {
        if (!m_sheet)
            throw OfficeError(QStringLiteral("No worksheet is chosen"));
        return *m_sheet;
    }

    std::shared_ptr<HeadlessOffice> m_office;
    std::unique_ptr<CalcWorkbook> m_book;
    CalcWorksheet *m_sheet = nullptr;
};

// One office for the whole run, started ahead or by its first item.
class ModuleOffice : public CalcModule::Office {
public:
    Status start() noexcept override
    {
        return guarded([this] { connect(true); });
    }
    Status startAhead() noexcept override
    {
        return guarded([this] {
            if (!m_office || m_office->isDead())
                m_office = std::make_shared<HeadlessOffice>();
        });
    }
    Result<bool> poll() noexcept override
    {
        return guarded([this] { return connect(false); });
    }
    Result<std::unique_ptr<CalcModule::Workbook>> open(const QString &path) noexcept override
    {
        return guarded([&] {
            if (!m_office)
                throw OfficeError(QStringLiteral("LibreOffice Calc is not started"));
            const Reference<frame::XComponentLoader> loader = m_office->loader(); // connects first
            return std::unique_ptr<CalcModule::Workbook>(std::make_unique<ModuleWorkbook>(
                m_office, std::make_unique<CalcWorkbook>(loader, path, m_office->editsWithoutLocks())));
        });
    }
    Status print(const QString &path, const QString &printer) noexcept override
    {
        return guarded([&] { connect(true);
            WriterJobs::print(m_office->loader(), path, printer); });
    }
    Status exportPdf(const QString &path, const QString &pdfPath) noexcept override
    {
        return guarded([&] { connect(true);
            WriterJobs::exportPdf(m_office->loader(), path, pdfPath); });
    }
    int launches() const noexcept override { return HeadlessOffice::started(); }

private:
    // Whether the office of this run answers, launched if there is none;
    // one that failed is dropped, so the next call launches afresh.
    bool connect(bool wait)
    {
        // The run's office may serve many runs: one that died is replaced
        // here, before an item uses it, rather than failing every later item.
        if (m_office && m_office->isDead())
            m_office.reset();
        if (!m_office)
            m_office = std::make_shared<HeadlessOffice>();
        try {
            if (!wait)
                return m_office->poll();
            m_office->waitReady();
            return true;
        } catch (...) {
            m_office.reset();
            throw;
        }
    }

    std::shared_ptr<HeadlessOffice> m_office;
};

} // namespace

// The module's one exported symbol; everything else is hidden. Its answer
// is a C++ object: only QLT, built with the same compiler, calls it.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" Q_DECL_EXPORT Result<std::unique_ptr<CalcModule::Office>> qltCreateCalcOffice() noexcept
{
    if (officeFolder().isEmpty())
        return Failure{QStringLiteral("LibreOffice Calc is not installed")};
    return guarded([] { return std::unique_ptr<CalcModule::Office>(std::make_unique<ModuleOffice>()); });
}
