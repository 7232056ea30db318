#pragma once

#include "platform/result.h"

#include <QString>

#include <memory>

// The boundary between QLT and the Calc module qltcalc.so. Both sides are
// built from this tree with the same compiler and Qt, so every call answers
// a Result instead of throwing: no exception ever crosses it, and QLT hands
// the failures on as the run's errors. The module exports the one entry
// point below and nothing else.
namespace CalcModule {

class Workbook {
public:
    virtual ~Workbook() = default;
    // Takes the worksheet at a 1-based position for the cell calls.
    virtual Status selectWorksheet(int position) noexcept = 0;
    // Rows and columns count from 1; an empty cell reads as "".
    virtual Result<QString> cellText(int row, int column) noexcept = 0;
    virtual Status setCellText(int row, int column, const QString &text) noexcept = 0;
    virtual Status saveAs(const QString &path) noexcept = 0;
    // Closes without saving anything that was not saved already.
    virtual Status close() noexcept = 0;
};

// One office for one fill run, ended when this is destroyed.
class Office {
public:
    virtual ~Office() = default;
    // Starts the office unless it runs already, and waits until it answers.
    virtual Status start() noexcept = 0;
    virtual Result<std::unique_ptr<Workbook>> open(const QString &path) noexcept = 0;

    // Starts the office without waiting for it; poll() then tells, without
    // blocking, whether it answers yet. A failed start leaves no office, so
    // a later start() tries afresh.
    virtual Status startAhead() noexcept = 0;
    virtual Result<bool> poll() noexcept = 0;
    // Prints a document of the office's word processor on the named printer
    // ("" for the office's default) and answers once the job is spooled.
    virtual Status print(const QString &path, const QString &printer) noexcept = 0;
    // Writes the document as PDF, as the office renders it.
    virtual Status exportPdf(const QString &path, const QString &pdfPath) noexcept = 0;
    // How many offices this module has started in this program.
    virtual int launches() const noexcept = 0;
};

// The entry point: an office not yet started, or why there is none.
using CreateOffice = Result<std::unique_ptr<Office>> (*)() noexcept;

} // namespace CalcModule

#define QLT_CALC_ENTRY "qltCreateCalcOffice"
