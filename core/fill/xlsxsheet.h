#pragma once

#include "core/fill/sheetgrid.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <memory>

// The parts of an Office Open XML workbook (.xlsx) that a fill reads and
// changes. A part is read whole or not at all: damaged XML is a failure.
namespace Xlsx {

// "B3" for row 3, column 2.
QString cellReference(int row, int column);

// Characters a string part carries as "_xHHHH_", decoded and encoded.
QString decodeEscapes(const QString &text);
QString encodeEscapes(const QString &text);

// The texts of xl/sharedStrings.xml, by index, each decoded when asked for.
class SharedStrings {
public:
    SharedStrings() = default; // a workbook without the part
    static Result<SharedStrings> read(const QByteArray &xml);
    QString at(int index) const;
    int size() const { return int(m_items.size()); }

private:
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

// Whether a formula's result may change when cells of the filled sheet
// change: on that sheet, any formula that names something (a cell, a range,
// a name, a function) outside its string literals; on another sheet, one
// that mentions the filled sheet's name or a defined name over it
// (`mentions`, compared without letter case).
bool formulaMaySee(const QString &formula, bool onFilledSheet, const QStringList &mentions);
// What formulas on other sheets name to reach a sheet: "Name!", "'Name'!"
// and the names the workbook defines over that sheet.
QStringList mentionsOf(const QByteArray &workbookXml, int position);

// The workbook part with calcPr fullCalcOnLoad="1", so that formulas over
// written cells are computed afresh when the workbook is opened.
Result<QByteArray> withFullCalcOnLoad(const QByteArray &workbookXml);

// One worksheet. Written values are text (inline strings), so the shared
// strings part stays as it was.
class Sheet : public Native::Grid {
public:
    // Read at once, or why the XML is not sound.
    static Result<std::unique_ptr<Sheet>> read(const QByteArray &xml, const SharedStrings &sharedStrings);
    QString textOf(const Native::CellRun &cell) const override;
    // The worksheet part with the written cells and the dimension changed
    // and every other character as it was, but for the stored results of
    // the formulas that `mayChange` picks (by their text), which are dropped:
    // not every program heeds fullCalcOnLoad, and one that does not would
    // show their old results. Every other formula keeps its result.
    Result<QByteArray> rewritten() const override;
    void dropResultsOf(std::function<bool(const QString &formula)> mayChange) { m_mayChange = std::move(mayChange); }
    // Whether rewritten() would drop any stored result.
    bool dropsResults() const;

private:
    explicit Sheet(const SharedStrings &sharedStrings) : m_strings(sharedStrings) {}
    Status parse(const QByteArray &bytes);
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
    struct StoredResult {
        int row, column;
        qsizetype start, end; // the <v> element
        QString formula;
    };
    QList<StoredResult> m_results;
    std::function<bool(const QString &)> m_mayChange;
};

} // namespace Xlsx
