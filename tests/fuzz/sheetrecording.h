#pragma once

// A worksheet that passes everything to another and reports each cell the
// fill writes, so a fuzz target can check what the saved file reads back.

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

} // namespace Fuzz
