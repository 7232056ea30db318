#include "core/fill/nativeworkbook.h"

#include "core/fill/odssheet.h"
#include "core/fill/xlsxsheet.h"

#include <QFile>
#include <QFileInfo>

namespace Native {

namespace {

Format formatOf(const QString &path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("ods"), Qt::CaseInsensitive) == 0 ? Format::Ods
                                                                                               : Format::Xlsx;
}

QString passwordProtected(const QString &path)
{
    return QStringLiteral("The workbook ") + path + QStringLiteral(" is protected by a password");
}

// A password-protected .xlsx is no zip package but a compound file that
// holds the encrypted package as its stream "EncryptedPackage".
bool isEncryptedOoxml(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return false;
    const QString stream = QStringLiteral("EncryptedPackage");
    const QByteArray name(reinterpret_cast<const char *>(stream.utf16()), stream.size() * 2);
    return file.read(qint64(1) << 20).contains(name);
}

} // namespace

bool handles(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    // Macro-enabled workbooks and templates are the same package: their
    // macros (xl/vbaProject.bin) and content types are copied untouched.
    static const QStringList suffixes{QStringLiteral("xlsx"), QStringLiteral("xlsm"), QStringLiteral("xltx"),
                                      QStringLiteral("xltm"), QStringLiteral("ods")};
    return suffixes.contains(suffix, Qt::CaseInsensitive);
}

Workbook::Workbook(Format format) : m_format(format) {}

Workbook::~Workbook() = default;

Status Workbook::open(const QString &path)
{
    if (!m_package.open(path)) {
        if (m_format == Format::Xlsx && isEncryptedOoxml(path))
            return Failure{passwordProtected(path)};
        return Failure{m_package.errorString()};
    }
    if (m_format == Format::Ods && m_package.contains(QStringLiteral("META-INF/manifest.xml"))) {
        const Result<QByteArray> manifest = readPart(QStringLiteral("META-INF/manifest.xml"));
        if (!manifest)
            return manifest.failure();
        if (manifest->contains("encryption-data"))
            return Failure{passwordProtected(path)};
    }
    return {};
}

Result<QByteArray> Workbook::readPart(const QString &name)
{
    QByteArray bytes;
    if (!m_package.read(name, &bytes))
        return Failure{m_package.errorString()};
    return bytes;
}

Result<Sheets::Worksheet *> Workbook::worksheet(int position)
{
    if (position < 1)
        return Failure{Sheets::noSuchWorksheet(position)};
    m_sheet.reset();
    m_extraPart.clear();
    if (m_format == Format::Ods) {
        m_sheetPart = QStringLiteral("content.xml");
        const Result<QByteArray> content = readPart(m_sheetPart);
        if (!content)
            return content.failure();
        Result<std::unique_ptr<Ods::Sheet>> sheet = Ods::Sheet::read(*content, position);
        if (!sheet)
            return sheet.failure();
        m_sheet = std::move(sheet).value();
        return static_cast<Sheets::Worksheet *>(m_sheet.get());
    }
    const Result<QByteArray> rels = readPart(QStringLiteral("_rels/.rels"));
    if (!rels)
        return rels.failure();
    const Result<QString> workbook = Xlsx::workbookPart(*rels);
    if (!workbook)
        return workbook.failure();
    const Result<QByteArray> workbookXml = readPart(*workbook);
    if (!workbookXml)
        return workbookXml.failure();
    const Result<QByteArray> workbookRels = readPart(Xlsx::relationshipsOf(*workbook));
    if (!workbookRels)
        return workbookRels.failure();
    QString stringsPart;
    const Result<QStringList> listed = Xlsx::sheetParts(*workbook, *workbookXml, *workbookRels, &stringsPart);
    if (!listed)
        return listed.failure();
    const QStringList &sheets = *listed;
    if (position > sheets.size())
        return Failure{Sheets::noSuchWorksheet(position)};
    if (sheets.at(position - 1).isEmpty())
        return Failure{QStringLiteral("The sheet number ") + QString::number(position) +
                       QStringLiteral(" is a chart, not a worksheet")};
    Xlsx::SharedStrings strings;
    if (!stringsPart.isEmpty() && m_package.contains(stringsPart)) {
        const Result<QByteArray> stringsXml = readPart(stringsPart);
        if (!stringsXml)
            return stringsXml.failure();
        Result<Xlsx::SharedStrings> read = Xlsx::SharedStrings::read(*stringsXml);
        if (!read)
            return read.failure();
        strings = std::move(read).value();
    }
    m_sheetPart = sheets.at(position - 1);
    const Result<QByteArray> sheetXml = readPart(m_sheetPart);
    if (!sheetXml)
        return sheetXml.failure();
    Result<std::unique_ptr<Xlsx::Sheet>> read = Xlsx::Sheet::read(*sheetXml, strings);
    if (!read)
        return read.failure();
    std::unique_ptr<Xlsx::Sheet> sheet = std::move(read).value();
    sheet->dropResultsOf([](const QString &formula) { return Xlsx::formulaMaySee(formula, true, {}); });
    m_sheet = std::move(sheet);
    m_extraPart = *workbook;
    m_extraXml = *workbookXml;
    m_mentions = Xlsx::mentionsOf(*workbookXml, position);
    m_otherSheets.clear();
    for (const QString &part : sheets)
        if (!part.isEmpty() && part != m_sheetPart)
            m_otherSheets.append(part);
    return static_cast<Sheets::Worksheet *>(m_sheet.get());
}

Status Workbook::saveAs(const QString &path)
{
    QHash<QString, QByteArray> parts;
    if (m_sheet && !m_sheet->edits().isEmpty()) {
        const Result<QByteArray> sheet = m_sheet->rewritten();
        if (!sheet)
            return sheet.failure();
        parts.insert(m_sheetPart, *sheet);
        if (m_format == Format::Xlsx) {
            const Result<QByteArray> workbook = Xlsx::withFullCalcOnLoad(m_extraXml);
            if (!workbook)
                return workbook.failure();
            parts.insert(m_extraPart, *workbook);
            // Formulas on other sheets that reach the filled one lose their
            // old results too; all others keep theirs.
            for (const QString &part : std::as_const(m_otherSheets)) {
                const Result<QByteArray> bytes = readPart(part);
                if (!bytes)
                    return bytes.failure();
                // One that cannot be read is left as it was: fullCalcOnLoad
                // has its formulas computed afresh all the same.
                const Result<std::unique_ptr<Xlsx::Sheet>> other = Xlsx::Sheet::read(*bytes, {});
                if (!other)
                    continue;
                (*other)->dropResultsOf([this](const QString &formula) {
                    return Xlsx::formulaMaySee(formula, false, m_mentions);
                });
                if (!(*other)->dropsResults())
                    continue;
                const Result<QByteArray> rewritten = (*other)->rewritten();
                if (!rewritten)
                    return rewritten.failure();
                parts.insert(part, *rewritten);
            }
        }
    }
    if (!m_package.write(path, parts))
        return Failure{m_package.errorString()};
    return {};
}

Result<std::unique_ptr<Sheets::Workbook>> Application::open(const QString &path)
{
    auto book = std::make_unique<Workbook>(formatOf(path));
    if (Status opened = book->open(path); !opened)
        return opened.failure();
    return std::unique_ptr<Sheets::Workbook>(std::move(book));
}

} // namespace Native
