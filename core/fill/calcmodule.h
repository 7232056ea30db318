#pragma once

#include <QString>

// The boundary between QLT and the Calc module qltcalc.so. Every call
// answers false (or null) with a description instead of throwing, so no
// exception ever crosses it; QLT turns the descriptions into the run's
// errors. The module exports the one entry point below and nothing else.
namespace CalcModule {

class Workbook {
public:
    virtual ~Workbook() = default;
    // Takes the worksheet at a 1-based position for the cell calls.
    virtual bool selectWorksheet(int position, QString *error) noexcept = 0;
    // Rows and columns count from 1; an empty cell reads as "".
    virtual bool cellText(int row, int column, QString *text, QString *error) noexcept = 0;
    virtual bool setCellText(int row, int column, const QString &text, QString *error) noexcept = 0;
    virtual bool saveAs(const QString &path, QString *error) noexcept = 0;
    // Closes without saving anything that was not saved already.
    virtual bool close(QString *error) noexcept = 0;
};

// One office for one fill run, ended when this is destroyed.
class Office {
public:
    virtual ~Office() = default;
    // Starts the office unless it runs already, and waits until it answers.
    virtual bool start(QString *error) noexcept = 0;
    // The opened workbook, owned by the caller, or null.
    virtual Workbook *open(const QString &path, QString *error) noexcept = 0;

    // Starts the office without waiting for it; poll() then tells, without
    // blocking, whether it answers yet. A failed start leaves no office, so
    // a later start() tries afresh.
    virtual bool startAhead(QString *error) noexcept = 0;
    virtual bool poll(bool *ready, QString *error) noexcept = 0;
    // Prints a document of the office's word processor on the named printer
    // ("" for the office's default) and answers once the job is spooled.
    virtual bool print(const QString &path, const QString &printer, QString *error) noexcept = 0;
    // Writes the document as PDF, as the office renders it.
    virtual bool exportPdf(const QString &path, const QString &pdfPath, QString *error) noexcept = 0;
    // How many offices this module has started in this program.
    virtual int launches() const noexcept = 0;
};

// The entry point: an office not yet started, or null with `error` set.
using CreateOffice = Office *(*)(QString *error) noexcept;

} // namespace CalcModule

#define QLT_CALC_ENTRY "qltCreateCalcOffice"
