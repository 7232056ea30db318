#pragma once

#include "core/result.h"

#include <QString>

#include <memory>
#include <optional>
#include <utility>

// What a spreadsheet fill needs of a spreadsheet application: open a
// workbook by path, take a worksheet by its 1-based position, read and
// write a cell as text, save the whole workbook under another name in its
// own format, close. Every call that can fail answers a Failure whose
// message the run's message shows.
namespace Sheets {

class Worksheet {
public:
    virtual ~Worksheet() = default;
    // Rows and columns count from 1; an empty cell reads as "".
    virtual Result<QString> cellText(int row, int column) = 0;
    // Whether the cell holds anything: its text, or a formula even when the
    // formula has no stored result to read as text.
    virtual Result<bool> cellUsed(int row, int column)
    {
        const Result<QString> text = cellText(row, column);
        if (!text)
            return text.failure();
        return !text->isEmpty();
    }
    virtual Status setCellText(int row, int column, const QString &text) = 0;
    // The first character of `text` that the workbook's file cannot hold,
    // so that a value holding one is refused before anything is written;
    // nothing when every character fits.
    virtual std::optional<char32_t> unfitCharacter(const QString &text) const
    {
        Q_UNUSED(text)
        return std::nullopt;
    }
};

class Workbook {
public:
    virtual ~Workbook() = default;
    // The worksheet, owned by the workbook.
    virtual Result<Worksheet *> worksheet(int position) = 0;
    virtual Status saveAs(const QString &path) = 0;
    // Closes without saving anything that was not saved already.
    virtual Status close() = 0;
};

// An opened workbook that is closed, without saving, when it goes out of
// scope still open: a fill that fails part way never leaves it open. A
// close that was tried, whether it worked or not, is not tried again.
class OpenWorkbook {
public:
    OpenWorkbook() = default;
    explicit OpenWorkbook(std::unique_ptr<Workbook> book) : m_book(std::move(book)) {}
    ~OpenWorkbook() { closeUnlessTried(); }
    OpenWorkbook(const OpenWorkbook &) = delete;
    OpenWorkbook &operator=(const OpenWorkbook &) = delete;
    OpenWorkbook &operator=(OpenWorkbook &&other) noexcept
    {
        closeUnlessTried();
        m_book = std::move(other.m_book);
        m_closeTried = std::exchange(other.m_closeTried, false);
        return *this;
    }

    Workbook *operator->() const { return m_book.get(); }
    Status close()
    {
        m_closeTried = true;
        return m_book->close();
    }
    // Lets go of a workbook already closed.
    void release() { m_book.reset(); }

private:
    void closeUnlessTried()
    {
        if (m_book && !m_closeTried)
            (void)m_book->close();
    }

    std::unique_ptr<Workbook> m_book;
    bool m_closeTried = false;
};

class Application {
public:
    virtual ~Application() = default;
    virtual Result<std::unique_ptr<Workbook>> open(const QString &path) = 0;
};

// The applications of one fill run. Whatever it started for the run (an
// office process) is ended when it is destroyed.
class Engines {
public:
    virtual ~Engines() = default;
    virtual Result<std::unique_ptr<Application>> createApplication(const QString &path) = 0;
};

// The description for a worksheet position the workbook does not have.
inline QString noSuchWorksheet(int position)
{
    return QStringLiteral("The workbook has no worksheet number ") + QString::number(position);
}

} // namespace Sheets
