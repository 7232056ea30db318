#pragma once

#include "core/fill/calcmodule.h"
#include "core/fill/spreadsheet.h"

#include <QString>

#include <memory>

// Which engine fills a spreadsheet, by its file: our own CSV engine for
// ".csv", our own XML engine for ".xlsx" and ".ods", LibreOffice Calc for
// every other workbook (".xls").
enum class SheetEngine { Csv, NativeXml, Office };
SheetEngine engineFor(const QString &path);

// The spreadsheet applications of a fill run on this machine, as
// engineFor() picks them. Calc is driven by a module loaded on first use,
// so the program starts and works where no office suite is installed.
class SystemEngines : public Sheets::Engines {
public:
    // `calc`, when given, is used for workbooks instead of loading the
    // module's engines for this run, so several runs can share one office.
    explicit SystemEngines(std::shared_ptr<Sheets::Engines> calc = nullptr) : m_calc(std::move(calc)) {}
    Result<std::unique_ptr<Sheets::Application>> createApplication(const QString &path) override;

    // Where the Calc module is looked for: beside the program, unless a
    // program that is not installed beside it (a test) names it before the
    // first workbook.
    static QString calcModulePath();
    static void setCalcModulePath(const QString &path);
    // The module's engines, or why it cannot be used.
    static Result<std::unique_ptr<Sheets::Engines>> loadCalc();
    // An office of the module, not yet started, or why there is none.
    static Result<std::unique_ptr<CalcModule::Office>> createOffice();

private:
    std::shared_ptr<Sheets::Engines> m_calc; // started once per run, ended with it
};
