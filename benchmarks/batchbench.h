#pragma once

// The batch both batch benchmarks fill: two rich-text documents and an
// .xlsx workbook that already holds kRecordsBefore records.
#include "core/fill/nativeworkbook.h"
#include "core/fill/sheetfill.h"
#include "core/model/modelfile.h"

#include <QDir>
#include <QFile>

namespace BatchBench {

// VmHWM (peak) or VmRSS (now) of this process, in kB.
inline long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return -1;
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The workbook a batch appends to already holds this many records.
constexpr int kRecordsBefore = 10000;

// Grows the office-made workbook to kRecordsBefore records, as that many
// single fills would.
inline void growWorkbook(const QString &book)
{
    Native::Application engine;
    Result<std::unique_ptr<Sheets::Workbook>> opened = engine.open(book);
    if (!opened)
        return;
    Result<Sheets::Worksheet *> sheet = (*opened)->worksheet(1);
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    for (int r = 0; sheet && r < kRecordsBefore; ++r)
        (void)SheetFill::fillRow(**sheet, 2 + r, fields,
                                 [r](int j) { return j == 1 ? QStringLiteral("Earlier %1").arg(r) : QStringLiteral("Town"); });
    (void)(*opened)->saveAs(book + QStringLiteral(".grown"));
    QFile::remove(book);
    QFile::rename(book + QStringLiteral(".grown"), book);
}

// One model folder per batch: a fresh workbook, so every batch starts alike.
inline QString prepare(const QString &home, int rows)
{
    const QString app = home + QStringLiteral("/Quillmate/");
    QDir(app).removeRecursively();
    QDir(home + QStringLiteral("/Documents")).removeRecursively();
    QDir().mkpath(app);
    QDir().mkpath(home + QStringLiteral("/Documents"));
    const QString book = app + QStringLiteral("Book.xlsx");
    QFile::copy(QStringLiteral(QLT_SOURCE_DIR "/tests/core/fill/workbooks/row.xlsx"), book);
    growWorkbook(book);
    ModelLists model;
    model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
    model.DocNames = {QStringLiteral("Letter"), QStringLiteral("Label")};
    model.SheetPaths = {book};
    model.SheetNumbers = {1};
    (void)ModelFile::write(app + QStringLiteral("Members.mod"), model);
    QByteArray letter = "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}\\f0 Dear &Name& of &City&,\\par ";
    for (int i = 0; i < 40; ++i)
        letter += "We write to you, &Name&, about the meeting in &City& next month.\\par ";
    write(app + QStringLiteral("Letter.rtf"), letter + "}");
    write(app + QStringLiteral("Label.rtf"), "{\\rtf1\\ansi &Name&\\par &City&\\par}");
    QByteArray csv = "Name,City\r\n";
    for (int r = 1; r <= rows; ++r)
        csv += "\"Member " + QByteArray::number(r) + "\",\"Town, " + QByteArray::number(r % 50) + "\"\r\n";
    const QString csvPath = home + QStringLiteral("/rows.csv");
    write(csvPath, csv);
    return csvPath;
}

} // namespace BatchBench
