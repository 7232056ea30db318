#pragma once

#include "core/fill/sheetgrid.h"
#include "core/fill/spreadsheet.h"
#include "core/fill/zippackage.h"

#include <QString>
#include <QStringList>

#include <memory>

// Our own engine for Office Open XML (.xlsx, .xlsm, .xltx, .xltm) and
// OpenDocument (.ods) workbooks: the chosen worksheet's XML is read from the zip package and,
// when saved, only the written cells change; every other part of the
// package is copied as it was.
namespace Native {

enum class Format { Xlsx, Ods };

// The format our own engine handles for this path, by its extension.
bool handles(const QString &path);

class Workbook : public Sheets::Workbook {
public:
    explicit Workbook(Format format);
    ~Workbook() override;
    // Opens the package at `path`; refuses an encrypted one.
    Status open(const QString &path);
    Result<Sheets::Worksheet *> worksheet(int position) override;
    Status saveAs(const QString &path) override;
    Status close() override { return {}; }

private:
    Result<QByteArray> readPart(const QString &name);

    Format m_format;
    Zip::Package m_package;
    std::unique_ptr<Grid> m_sheet;
    QString m_sheetPart;  // the part the sheet came from
    QString m_extraPart;  // xlsx: the workbook part, which gets the recalculation flag
    QByteArray m_extraXml;
    QStringList m_otherSheets; // xlsx: the other worksheets' parts
    QStringList m_mentions;    // xlsx: what their formulas name to reach the filled sheet
};

class Application : public Sheets::Application {
public:
    Result<std::unique_ptr<Sheets::Workbook>> open(const QString &path) override;
};

} // namespace Native
