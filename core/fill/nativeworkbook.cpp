#include "core/fill/nativeworkbook.h"

#include "core/fill/fillrun.h"
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
    return suffix.compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QStringLiteral("ods"), Qt::CaseInsensitive) == 0;
}

Workbook::Workbook(const QString &path, Format format) : m_format(format)
{
    if (!m_package.open(path)) {
        if (format == Format::Xlsx && isEncryptedOoxml(path))
            throw RunError(passwordProtected(path));
        throw RunError(m_package.errorString());
    }
    if (format == Format::Ods && m_package.contains(QStringLiteral("META-INF/manifest.xml")) &&
        readPart(QStringLiteral("META-INF/manifest.xml")).contains("encryption-data"))
        throw RunError(passwordProtected(path));
}

Workbook::~Workbook() = default;

QByteArray Workbook::readPart(const QString &name)
{
    QByteArray bytes;
    if (!m_package.read(name, &bytes))
        throw RunError(m_package.errorString());
    return bytes;
}

Sheets::Worksheet &Workbook::worksheet(int position)
{
    if (position < 1)
        throw RunError(Sheets::noSuchWorksheet(position));
    m_sheet.reset();
    m_extraPart.clear();
    if (m_format == Format::Ods) {
        m_sheetPart = QStringLiteral("content.xml");
        m_sheet = std::make_unique<Ods::Sheet>(readPart(m_sheetPart), position);
        return *m_sheet;
    }
    const QString workbook = Xlsx::workbookPart(readPart(QStringLiteral("_rels/.rels")));
    const QByteArray workbookXml = readPart(workbook);
    QString stringsPart;
    const QStringList sheets =
        Xlsx::sheetParts(workbook, workbookXml, readPart(Xlsx::relationshipsOf(workbook)), &stringsPart);
    if (position > sheets.size())
        throw RunError(Sheets::noSuchWorksheet(position));
    if (sheets.at(position - 1).isEmpty())
        throw RunError(QStringLiteral("The sheet number ") + QString::number(position) +
                       QStringLiteral(" is a chart, not a worksheet"));
    const Xlsx::SharedStrings strings = stringsPart.isEmpty() || !m_package.contains(stringsPart)
                                            ? Xlsx::SharedStrings()
                                            : Xlsx::SharedStrings(readPart(stringsPart));
    m_sheetPart = sheets.at(position - 1);
    m_sheet = std::make_unique<Xlsx::Sheet>(readPart(m_sheetPart), strings);
    m_extraPart = workbook;
    m_extraXml = workbookXml;
    m_otherSheets.clear();
    for (const QString &part : sheets)
        if (!part.isEmpty() && part != m_sheetPart)
            m_otherSheets.append(part);
    return *m_sheet;
}

void Workbook::saveAs(const QString &path)
{
    QHash<QString, QByteArray> parts;
    if (m_sheet && !m_sheet->edits().isEmpty()) {
        parts.insert(m_sheetPart, m_sheet->rewritten());
        if (m_format == Format::Xlsx) {
            parts.insert(m_extraPart, Xlsx::withFullCalcOnLoad(m_extraXml));
            // Formulas on other sheets may count the written cells too.
            for (const QString &part : std::as_const(m_otherSheets)) {
                const QByteArray bytes = readPart(part);
                const QByteArray uncached = Xlsx::Sheet(bytes, {}).rewritten();
                if (uncached != bytes)
                    parts.insert(part, uncached);
            }
        }
    }
    if (!m_package.write(path, parts))
        throw RunError(m_package.errorString());
}

std::unique_ptr<Sheets::Workbook> Application::open(const QString &path)
{
    return std::make_unique<Workbook>(path, formatOf(path));
}

} // namespace Native
