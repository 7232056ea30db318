#include "core/fill/calcengines.h"

namespace {
Status check(bool ok, const QString &error)
{
    if (!ok)
        return Failure{error};
    return {};
}

class ModuleWorkbook : public Sheets::Workbook, public Sheets::Worksheet {
public:
    explicit ModuleWorkbook(std::unique_ptr<CalcModule::Workbook> book) : m_book(std::move(book)) {}

    Result<Sheets::Worksheet *> worksheet(int position) override
    {
        QString error;
        if (!m_book->selectWorksheet(position, &error))
            return Failure{error};
        return static_cast<Sheets::Worksheet *>(this);
    }
    Status saveAs(const QString &path) override
    {
        QString error;
        return check(m_book->saveAs(path, &error), error);
    }
    Status close() override
    {
        QString error;
        return check(m_book->close(&error), error);
    }
    Result<QString> cellText(int row, int column) override
    {
        QString text, error;
        if (!m_book->cellText(row, column, &text, &error))
            return Failure{error};
        return text;
    }
    Status setCellText(int row, int column, const QString &text) override
    {
        QString error;
        return check(m_book->setCellText(row, column, text, &error), error);
    }

private:
    std::unique_ptr<CalcModule::Workbook> m_book;
};

class ModuleApplication : public Sheets::Application {
public:
    explicit ModuleApplication(std::shared_ptr<CalcModule::Office> office) : m_office(std::move(office)) {}
    Result<std::unique_ptr<Sheets::Workbook>> open(const QString &path) override
    {
        QString error;
        std::unique_ptr<CalcModule::Workbook> book(m_office->open(path, &error));
        if (!book)
            return Failure{error};
        return std::unique_ptr<Sheets::Workbook>(std::make_unique<ModuleWorkbook>(std::move(book)));
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
        QString error;
        if (!m_office->start(&error))
            return Failure{error};
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
