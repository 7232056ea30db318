#include "core/fill/calcengines.h"

namespace {
class ModuleWorkbook : public Sheets::Workbook, public Sheets::Worksheet {
public:
    explicit ModuleWorkbook(std::unique_ptr<CalcModule::Workbook> book) : m_book(std::move(book)) {}

    Result<Sheets::Worksheet *> worksheet(int position) override
    {
        if (Status selected = m_book->selectWorksheet(position); !selected)
            return selected.failure();
        return static_cast<Sheets::Worksheet *>(this);
    }
    Status saveAs(const QString &path) override { return m_book->saveAs(path); }
    Status close() override { return m_book->close(); }
    Result<QString> cellText(int row, int column) override { return m_book->cellText(row, column); }
    Status setCellText(int row, int column, const QString &text) override
    {
        return m_book->setCellText(row, column, text);
    }

private:
    std::unique_ptr<CalcModule::Workbook> m_book;
};

class ModuleApplication : public Sheets::Application {
public:
    explicit ModuleApplication(std::shared_ptr<CalcModule::Office> office) : m_office(std::move(office)) {}
    Result<std::unique_ptr<Sheets::Workbook>> open(const QString &path) override
    {
        Result<std::unique_ptr<CalcModule::Workbook>> book = m_office->open(path);
        if (!book)
            return book.failure();
        return std::unique_ptr<Sheets::Workbook>(std::make_unique<ModuleWorkbook>(std::move(book).value()));
    }

private:
    std::shared_ptr<CalcModule::Office> m_office;
};

// One office for the whole run, started by its first workbook.
class ModuleEngines : public Sheets::Engines {
public:
    explicit ModuleEngines(std::shared_ptr<CalcModule::Office> office) : m_office(std::move(office)) {}
    Result<std::unique_ptr<Sheets::Application>> createApplication(const QString &) override
    {
        if (Status started = m_office->start(); !started)
            return started.failure();
        return std::unique_ptr<Sheets::Application>(std::make_unique<ModuleApplication>(m_office));
    }

private:
    std::shared_ptr<CalcModule::Office> m_office;
};
} // namespace

std::unique_ptr<Sheets::Engines> calcEngines(std::shared_ptr<CalcModule::Office> office)
{
    return std::make_unique<ModuleEngines>(std::move(office));
}
