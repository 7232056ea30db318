#pragma once

// What the kill-safety driver writes, shared with the test that checks
// what it finds after a kill. Two versions of each file, of very different
// sizes, so a torn or half-written file can never pass for either.

#include "core/fill/csvengine.h"
#include "core/fill/nativeworkbook.h"
#include "core/model/modelfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace KillSafety {

// Every kind of save the program makes.
inline QStringList kinds()
{
    return {QStringLiteral("model"), QStringLiteral("settings"), QStringLiteral("dataset"), QStringLiteral("csv"),
            QStringLiteral("xlsx"),  QStringLiteral("ods"),      QStringLiteral("document")};
}

inline bool isSpreadsheet(const QString &kind)
{
    return kind == QStringLiteral("csv") || kind == QStringLiteral("xlsx") || kind == QStringLiteral("ods");
}

// The folders of a driver's home.
inline QString appFolder(const QString &home) { return home + QStringLiteral("Quillmate/"); }
inline QString saveFolder(const QString &home) { return home + QStringLiteral("Documents/"); }
inline QString sheetFolder(const QString &home) { return home + QStringLiteral("Sheets/"); }
inline QString modelName() { return QStringLiteral("Kill"); }
inline QString tag() { return QStringLiteral("Smith"); }

inline QStringList values(int version)
{
    QStringList v;
    const int count = version == 0 ? 3 : 400;
    for (int i = 1; i <= count; ++i)
        v << QStringLiteral("Value %1 of version %2 with some text to make it longer").arg(i).arg(version);
    return v;
}

inline ModelLists model(int version)
{
    ModelLists m;
    m.FieldNames = values(version);
    m.DocNames = {QStringLiteral("Letter v%1").arg(version)};
    m.SheetPaths = {QStringLiteral("/home/ann/Book v%1.csv").arg(version)};
    m.SheetNumbers = {static_cast<qint16>(version + 1)};
    return m;
}

inline QStringList documentFields() { return {QStringLiteral("Name"), QStringLiteral("City")}; }

// The document: long enough that writing its filled copy takes a while.
inline QByteArray documentText()
{
    QByteArray text = "{\\rtf1\\ansi\\deff0 ";
    for (int i = 0; i < 3000; ++i)
        text += "Dear &Name& of &City&,\\par ";
    return text + "}";
}

inline QString documentValue(int version, int field)
{
    return version == 0 ? QStringLiteral("A%1").arg(field) : QStringLiteral("A much longer value %1").arg(field);
}

// The CSV's record n holds these values; the marker row follows the last.
inline QStringList csvRecord(int n) { return {QStringLiteral("Ann %1").arg(n), QStringLiteral("Rome; Milan, %1").arg(n)}; }
inline QByteArray csvStart() { return "Name;City\r\n&Name&;&City&\r\n"; }

// The spreadsheet a fill of that kind adds records to.
inline QString sheetPath(const QString &home, const QString &kind)
{
    return sheetFolder(home) + QStringLiteral("Book.") + kind;
}

// The engine the program fills such a spreadsheet with.
inline std::unique_ptr<Sheets::Application> sheetApplication(const QString &path)
{
    if (Native::handles(path))
        return std::make_unique<Native::Application>();
    return std::make_unique<Csv::Application>();
}

// The first two columns of worksheet 1 down to the first empty row, read
// by that engine, or why the file cannot be read.
inline Result<QList<QStringList>> sheetRows(const QString &path)
{
    const Result<std::unique_ptr<Sheets::Workbook>> book = sheetApplication(path)->open(path);
    if (!book)
        return book.failure();
    const Result<Sheets::Worksheet *> sheet = (*book)->worksheet(1);
    if (!sheet)
        return sheet.failure();
    QList<QStringList> rows;
    for (int r = 1;; ++r) {
        QStringList row;
        for (int c = 1; c <= 2; ++c) {
            const Result<QString> text = (*sheet)->cellText(r, c);
            if (!text)
                return text.failure();
            row << *text;
        }
        if (row.join(QString()).isEmpty())
            return rows;
        rows << row;
    }
}

} // namespace KillSafety
