#pragma once

#include "core/fill/spreadsheet.h"

#include <QHash>
#include <QPoint>
#include <QStringList>

// An in-memory worksheet: cells by (row, column), built from lines of
// comma-separated text.
class FakeSheet : public Sheets::Worksheet {
public:
    FakeSheet() = default;
    explicit FakeSheet(const QStringList &rows)
    {
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split(QLatin1Char(','));
            for (int c = 0; c < cells.size(); ++c)
                if (!cells[c].isEmpty())
                    m_cells.insert(QPoint(c + 1, r + 1), cells[c]);
        }
    }
    Result<QString> cellText(int row, int column) override
    {
        ++reads;
        return m_cells.value(QPoint(column, row));
    }
    Status setCellText(int row, int column, const QString &text) override
    {
        if (text.isEmpty())
            m_cells.remove(QPoint(column, row));
        else
            m_cells.insert(QPoint(column, row), text);
        return {};
    }
    QString at(int row, int column) const { return m_cells.value(QPoint(column, row)); }
    // Row r as comma-separated text over `columns` columns.
    QString row(int r, int columns) const
    {
        QStringList cells;
        for (int c = 1; c <= columns; ++c)
            cells << at(r, c);
        return cells.join(QLatin1Char(','));
    }
    int reads = 0;

private:
    QHash<QPoint, QString> m_cells;
};
