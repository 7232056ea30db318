#include "core/fill/xlsxsheet.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "core/fill/tagscan.h"
#include "core/fill/valuetext.h"

#include <algorithm>

namespace Xlsx {

namespace {

const QString kRelationshipsNs = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

Failure damaged(const QString &part, const QXmlStreamReader &xml)
{
    return {QStringLiteral("The workbook part ") + part + QStringLiteral(" is damaged (") + xml.errorString() +
            QLatin1Char(')')};
}

// "../worksheets/sheet1.xml" seen from "xl/workbook.xml" is "xl/worksheets/sheet1.xml".
QString resolve(const QString &fromPart, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList path = fromPart.split(QLatin1Char('/'));
    path.removeLast();
    for (const QString &step : target.split(QLatin1Char('/'))) {
        if (step == QLatin1String(".."))
            path.isEmpty() ? void() : path.removeLast();
        else if (step != QLatin1String("."))
            path.append(step);
    }
    return path.join(QLatin1Char('/'));
}

struct Relationship {
    QString type;
    QString target;
};

Result<QHash<QString, Relationship>> relationships(const QString &part, const QByteArray &bytes)
{
    QHash<QString, Relationship> result;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const auto attributes = xml.attributes();
            result.insert(attributes.value(QLatin1String("Id")).toString(),
                          {attributes.value(QLatin1String("Type")).toString(),
                           attributes.value(QLatin1String("Target")).toString()});
        }
    }
    if (xml.hasError())
        return damaged(part, xml);
    return result;
}

} // namespace

QString cellReference(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

QString decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    static const QRegularExpression escaped(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype at = 0;
    for (auto it = escaped.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        out += QStringView(text).mid(at, match.capturedStart() - at);
        out += QChar(char16_t(match.captured(1).toUShort(nullptr, 16)));
        at = match.capturedEnd();
    }
    out += QStringView(text).mid(at);
    return out;
}

QString encodeEscapes(const QString &text)
{
    QString out = text;
    if (out.contains(QLatin1String("_x"))) {
        // A literal "_x0041_" would read back as "A": its underscore is escaped.
        static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
        out.replace(escapeLike, QStringLiteral("_x005F_"));
    }
    // Characters XML cannot hold (a copied cell may have been read from
    // such an escape) go out as escapes again, never raw.
    while (const std::optional<char32_t> unfit = ValueText::firstUnfitForXml(out)) {
        const QChar ch{char16_t(*unfit)};
        const QString hex = QStringLiteral("%1").arg(uint(*unfit), 4, 16, QLatin1Char('0')).toUpper();
        out.replace(ch, QStringLiteral("_x") + hex + QLatin1Char('_'));
    }
    return out;
}

QString runText(QStringView xml)
{
    // Nearly every string is one plain run: read without a scanner, as the
    // layout scan reads thousands of them.
    const QLatin1StringView close("</t>");
    for (const QLatin1StringView open : {QLatin1StringView("<t>"), QLatin1StringView("<t xml:space=\"preserve\">")}) {
        if (!xml.startsWith(open) || !xml.endsWith(close) || xml.size() < open.size() + close.size())
            continue;
        const QStringView inner = xml.sliced(open.size(), xml.size() - open.size() - close.size());
        if (!inner.contains(QLatin1Char('<')))
            return decodeEscapes(Native::unescapeXml(inner));
    }
    Native::TagScanner scanner(xml);
    Native::Tag tag;
    QString text;
    while (scanner.next(tag)) {
        if (tag.closing || tag.empty)
            continue;
        if (tag.localName() == QLatin1String("rPh"))
            scanner.skipElement(tag); // phonetic guide, not part of the text
        else if (tag.localName() == QLatin1String("t"))
            text += scanner.textFrom(tag.end);
    }
    return decodeEscapes(text);
}

Result<SharedStrings> SharedStrings::read(const QByteArray &bytes)
{
    SharedStrings strings;
    strings.m_xml = QString::fromUtf8(bytes);
    Native::TagScanner xml(strings.m_xml);
    Native::Tag tag;
    qsizetype start = -1;
    while (xml.next(tag)) {
        if (tag.localName() != QLatin1String("si"))
            continue;
        if (tag.empty)
            strings.m_items.append({tag.end, tag.end});
        else if (!tag.closing)
            start = tag.end;
        else if (start >= 0)
            strings.m_items.append({start, tag.start});
    }
    if (xml.failed())
        return Failure{QStringLiteral("The workbook's shared strings are damaged")};
    return strings;
}

QString SharedStrings::at(int index) const
{
    if (index < 0 || index >= m_items.size())
        return QString();
    const auto [start, end] = m_items.at(index);
    return runText(QStringView(m_xml).mid(start, end - start));
}

Result<QStringList> parseSharedStrings(const QByteArray &bytes)
{
    const Result<SharedStrings> strings = SharedStrings::read(bytes);
    if (!strings)
        return strings.failure();
    QStringList all;
    for (int i = 0; i < strings->size(); ++i)
        all.append(strings->at(i));
    return all;
}

Result<QString> workbookPart(const QByteArray &packageRels)
{
    const auto rels = relationships(QStringLiteral("_rels/.rels"), packageRels);
    if (!rels)
        return rels.failure();
    for (const Relationship &r : *rels)
        if (r.type.endsWith(QLatin1String("/officeDocument")))
            return resolve(QString(), r.target);
    return Failure{QStringLiteral("The package holds no workbook")};
}

QString relationshipsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

Result<QStringList> sheetParts(const QString &workbookPath, const QByteArray &workbookXml,
                               const QByteArray &workbookRels, QString *sharedStringsPart)
{
    const auto read = relationships(relationshipsOf(workbookPath), workbookRels);
    if (!read)
        return read.failure();
    const QHash<QString, Relationship> &rels = *read;
    *sharedStringsPart = QString();
    for (const Relationship &r : rels)
        if (r.type.endsWith(QLatin1String("/sharedStrings")))
            *sharedStringsPart = resolve(workbookPath, r.target);
    QStringList parts;
    QXmlStreamReader xml(workbookXml);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("sheet"))
            continue;
        const Relationship r = rels.value(xml.attributes().value(kRelationshipsNs, QLatin1String("id")).toString());
        // A chart sheet keeps its position but has no cells to fill.
        parts.append(r.type.endsWith(QLatin1String("/worksheet")) ? resolve(workbookPath, r.target) : QString());
    }
    if (xml.hasError())
        return damaged(workbookPath, xml);
    return parts;
}

namespace {

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('\\');
}

// Whether `name` occurs in `text` as a whole name (a sheet mention ends in
// "!", so only its start needs a boundary).
bool mentions(QStringView text, const QString &name)
{
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype after = at + name.size();
        if (at > 0 && isNameCharacter(text[at - 1]))
            continue;
        if (!name.endsWith(QLatin1Char('!')) && after < text.size() &&
            (isNameCharacter(text[after]) || text[after] == QLatin1Char('(')))
            continue;
        return true;
    }
    return false;
}

} // namespace

bool formulaMaySee(const QString &formula, bool onFilledSheet, const QStringList &names)
{
    // String literals ("a ""b"" c") name nothing.
    QString outside;
    bool quoted = false;
    for (const QChar c : formula) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted)
            outside += c;
    }
    if (onFilledSheet)
        return std::any_of(outside.cbegin(), outside.cend(), [](QChar c) { return c.isLetter(); });
    return std::any_of(names.cbegin(), names.cend(), [&outside](const QString &name) { return mentions(outside, name); });
}

QStringList mentionsOf(const QByteArray &workbookXml, int position)
{
    QStringList sheetNames;
    QList<std::pair<QString, QString>> defined; // name, definition
    QXmlStreamReader xml(workbookXml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("sheet")) {
            sheetNames << xml.attributes().value(QLatin1String("name")).toString();
        } else if (xml.name() == QLatin1String("definedName")) {
            const QString name = xml.attributes().value(QLatin1String("name")).toString();
            defined.append({name, xml.readElementText()});
        }
    }
    const QString sheet = sheetNames.value(position - 1);
    if (sheet.isEmpty())
        return {};
    QStringList result{sheet + QLatin1Char('!'),
                       QLatin1Char('\'') + QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")) +
                           QStringLiteral("'!")};
    for (const auto &[name, definition] : std::as_const(defined))
        if (formulaMaySee(definition, false, result.mid(0, 2)))
            result << name;
    return result;
}

Result<QByteArray> withFullCalcOnLoad(const QByteArray &workbookXml)
{
    // Elements that come after calcPr in a workbook, in schema order.
    static const QStringList later = {
        QStringLiteral("oleSize"),      QStringLiteral("customWorkbookViews"), QStringLiteral("pivotCaches"),
        QStringLiteral("smartTagPr"),   QStringLiteral("smartTagTypes"),       QStringLiteral("webPublishing"),
        QStringLiteral("fileRecoveryPr"), QStringLiteral("webPublishObjects"), QStringLiteral("extLst")};
    const QString text = QString::fromUtf8(workbookXml);
    QXmlStreamReader xml(text);
    qsizetype previous = 0;
    qsizetype insertAt = -1;
    QString prefix;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        const qsizetype here = xml.characterOffset();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1)
                prefix = xml.prefix().isEmpty() ? QString() : xml.prefix().toString() + QLatin1Char(':');
            if (depth == 2 && xml.name() == QLatin1String("calcPr")) {
                const QString tag = text.mid(previous, here - previous);
                const QString changed = Native::withAttribute(tag, QStringLiteral("fullCalcOnLoad"), QStringLiteral("1"));
                return (text.left(previous) + changed + text.mid(here)).toUtf8();
            }
            if (depth == 2 && insertAt < 0 && later.contains(xml.name().toString()))
                insertAt = previous;
        } else if (xml.isEndElement()) {
            if (depth == 1 && insertAt < 0)
                insertAt = previous;
            --depth;
        }
        previous = here;
    }
    if (xml.hasError() || insertAt < 0)
        return damaged(QStringLiteral("workbook"), xml);
    return (text.left(insertAt) + QLatin1Char('<') + prefix + QStringLiteral("calcPr fullCalcOnLoad=\"1\"/>") +
            text.mid(insertAt))
        .toUtf8();
}

} // namespace Xlsx
