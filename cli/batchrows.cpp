#include "cli/batchrows.h"

#include "core/fill/csvengine.h"

#include <QFile>

namespace BatchRows {

Rows read(const QString &path)
{
    Rows rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        rows.error = file.errorString();
        return rows;
    }
    const Csv::Table table = Csv::parse(file.readAll());
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        QStringList cells;
        bool blank = true;
        for (const Csv::Cell &cell : table.rows[r]) {
            cells << cell.text;
            blank = blank && cell.text.isEmpty() && !cell.quoted;
        }
        if (blank)
            continue; // an empty line, often the last one
        if (rows.header.isEmpty() && rows.records.isEmpty()) {
            rows.header = cells;
            continue;
        }
        rows.records << cells;
        rows.lines << int(r + 1);
    }
    return rows;
}

QStringList placeholders(const QString &pattern)
{
    QStringList names;
    expand(pattern, [&names](const QString &name) {
        names << name;
        return QString();
    });
    return names;
}

} // namespace BatchRows
