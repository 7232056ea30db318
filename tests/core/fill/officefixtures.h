#pragma once

#include "core/fill/engines.h"
#include "core/fill/fillrun.h"
#include "core/fill/sheetfill.h"
#include "tests/support/fixtureoffice.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

// Workbooks written by a real LibreOffice, and the office's own CSV export
// to read results back the way the office sees them.
namespace OfficeFixtures {

class Run : public RunContext {
public:
    QStringList values;
    void showWait(const QString &) override { waitShown = true; }
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

// Every sheet of each workbook as the office exports it to CSV, one text
// per sheet, in sheet-name order; one office start for all of them, so the
// workbooks' base names must differ. A workbook whose export failed gets
// {"export failed"}.
inline QHash<QString, QStringList> exportSheets(const QString &profileFolder, const QStringList &workbooks,
                                                const QString &outFolder)
{
    // Filter options: comma, quote, UTF-8, from line 1, ..., every sheet (-1).
    const QString csv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1");
    const bool converted = FixtureOffice::convert(workbooks, csv, outFolder, profileFolder);
    QHash<QString, QStringList> result;
    const QDir out(outFolder);
    for (const QString &workbook : workbooks) {
        const QString base = QFileInfo(workbook).completeBaseName();
        QStringList sheets;
        const QStringList files = out.entryList({base + QStringLiteral("-*.csv")}, QDir::Files);
        for (const QString &name : files) {
            QFile file(out.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                sheets << name.mid(base.size() + 1) + QLatin1Char('\n') + QString::fromUtf8(file.readAll());
        }
        if (!converted || sheets.isEmpty())
            sheets = QStringList{QStringLiteral("export failed")};
        sheets.sort();
        result.insert(workbook, sheets);
    }
    return result;
}

} // namespace OfficeFixtures
