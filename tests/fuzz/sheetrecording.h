#pragma once

// A worksheet that passes everything to another and reports each cell the
// fill writes, so a fuzz target can check what the saved file reads back.

#include "core/fill/sheetfill.h"
#include "core/fill/spreadsheet.h"

#include <functional>

namespace Fuzz {

class Recording : public Sheets::Worksheet {
public:
    using Written = std::function<void(int row, int column, const QString &text)>;
    Recording(Sheets::Worksheet &inner, Written written) : m_inner(inner), m_written(std::move(written)) {}
    Result<QString> cellText(int row, int column) override { return m_inner.cellText(row, column); }
    Status setCellText(int row, int column, const QString &text) override
    {
        if (Status written = m_inner.setCellText(row, column, text); !written)
            return written;
        m_written(row, column, text);
        return {};
    }

private:
    Sheets::Worksheet &m_inner;
    Written m_written;
};

// Fills worksheet 1 of the workbook as a run does, reporting every cell
// written.
inline Status fillFirstSheet(Sheets::Workbook &book, const QStringList &fieldNames,
                             const std::function<QString(int)> &value, Recording::Written written)
{
    const Result<Sheets::Worksheet *> inner = book.worksheet(1);
    if (!inner)
        return inner.failure();
    Recording sheet(**inner, std::move(written));
    const Result<SheetFill::Layout> layout = SheetFill::DetectSheetLayout(sheet);
    if (!layout)
        return layout.failure();
    if (layout->kind == SheetFill::RowLayout)
        return SheetFill::fillRow(sheet, layout->line, fieldNames, value);
    if (layout->kind == SheetFill::ColumnLayout)
        return SheetFill::fillColumn(sheet, layout->line, fieldNames, value);
    return {};
}

} // namespace Fuzz
