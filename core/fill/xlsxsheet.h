#pragma once

#include "core/fill/sheetgrid.h"

#include <QByteArray>
#include <QStringList>

// The parts of an Office Open XML workbook (.xlsx) that a fill reads and
// changes. A part read from damaged XML says so in its status().
namespace Xlsx {

// "B3" for row 3, column 2.
QString cellReference(int row, int column);

// Characters a string part carries as "_xHHHH_", decoded and encoded.
QString decodeEscapes(const QString &text);
QString encodeEscapes(const QString &text);

// The texts of xl/sharedStrings.xml, by index, each decoded when asked for.
class SharedStrings {
public:
    SharedStrings() = default;
    explicit SharedStrings(const QByteArray &xml);
    QString at(int index) const;
    int size() const { return int(m_items.size()); }
    Status status() const;

private:
    bool m_damaged = false;
    QString m_xml;
    QList<std::pair<qsizetype, qsizetype>> m_items; // the <si> elements' contents
};
Result<QStringList> parseSharedStrings(const QByteArray &xml);

// The text of the runs (<t>) in a string item or inline string.
QString runText(QStringView xml);

// The path inside the package of the workbook part, from _rels/.rels.
Result<QString> workbookPart(const QByteArray &packageRels);
// The worksheet parts in the workbook's sheet order (the order the user
// sees), from the workbook part and its relationships.
// Also gives the shared strings part, or null when there is none.
Result<QStringList> sheetParts(const QString &workbookPath, const QByteArray &workbookXml, const QByteArray &workbookRels,
                               QString *sharedStringsPart);
// The relationships part that belongs to a part.
QString relationshipsOf(const QString &part);

// The workbook part with calcPr fullCalcOnLoad="1", so that formulas over
// written cells are computed afresh when the workbook is opened.
Result<QByteArray> withFullCalcOnLoad(const QByteArray &workbookXml);

// One worksheet. Written values are text (inline strings), so the shared
// strings part stays as it was.
class Sheet : public Native::Grid {
public:
    // Read at once; status() tells whether the XML was sound.
    Sheet(const QByteArray &xml, const SharedStrings &sharedStrings);
    QString textOf(const Native::CellRun &cell) const override;
    // The worksheet part with the written cells and the dimension changed
    // and every other character as it was, but for the results that
    // formulas had when the sheet was last saved: they are dropped, so that
    // every spreadsheet program computes them afresh on opening (some do not
    // heed fullCalcOnLoad).
    Result<QByteArray> rewritten() const override;

private:
    QString cellXml(int row, int column, const QString &style, const QString &text) const;
    QString newRowXml(int row, const QMap<int, QString> &cells) const;
    void rewriteRow(const Native::RowRun &run, const QMap<int, QString> &cells, QList<Native::Splice> &splices) const;
    QString dimensionTag() const;

    QString m_xml;
    SharedStrings m_strings;
    QByteArray m_bom;
    QString m_prefix; // namespace prefix of the sheet's elements, with its colon
    qsizetype m_dataStart = -1, m_dataTagEnd = -1, m_dataContentEnd = -1, m_dataEnd = -1;
    qsizetype m_dimensionStart = -1, m_dimensionEnd = -1;
    struct CachedResult {
        int row, column;
        qsizetype start, end; // the <v> element
    };
    QList<CachedResult> m_cachedResults;
};

} // namespace Xlsx
