#include "core/render/pdfcopy.h"

#include "core/fill/fillrun.h"
#include "core/fill/officesession.h"
#include "core/render/rtfreader.h"
#include "platform/codepage.h"
#include "platform/filesystem.h"
#include "platform/folders.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSettings>
#include <QTextDocument>

namespace PdfCopy {

namespace {
const QString kKey = QStringLiteral("Documents/SavePdfCopies");

QString settingsPath() { return Platform::configFolder() + QStringLiteral("Quillmate/QLT.conf"); }

bool isOneOf(const QString &extension, std::initializer_list<const char *> list)
{
    for (const char *e : list)
        if (extension.compare(QLatin1String(e), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The page of a rich-text document in twips: its own \paperw, \paperh and
// margins, else the rich-text defaults (US Letter, 1.25" and 1" margins).
QPageLayout pageOf(const QByteArray &text)
{
    // The page is set in the header, before the first paragraph.
    const qsizetype body = text.indexOf("\\pard");
    const QString header = QString::fromLatin1(body < 0 ? text : text.left(body));
    const auto number = [&header](const char *word, double fallback) {
        const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)").arg(QLatin1String(word)));
        const QRegularExpressionMatch m = re.match(header);
        const double twips = m.hasMatch() ? m.captured(1).toDouble() : fallback;
        return twips > 0 ? twips / 1440.0 : fallback / 1440.0;
    };
    const QSizeF paper(number("paperw", 12240), number("paperh", 15840));
    const QMarginsF margins(number("margl", 1800), number("margt", 1440), number("margr", 1800),
                            number("margb", 1440));
    const QPageSize size(paper, QPageSize::Inch, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, paper.width() > paper.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       margins, QPageLayout::Inch);
}
} // namespace

bool enabled() { return QSettings(settingsPath(), QSettings::IniFormat).value(kKey, false).toBool(); }

void setEnabled(bool on)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(kKey, on);
}

Status renderText(const QByteArray &text, const QString &extension, const QString &pdfPath)
{
    std::unique_ptr<QTextDocument> document;
    if (isOneOf(extension, {".htm", ".html"})) {
        document = std::make_unique<QTextDocument>();
        document->setHtml(Platform::decodeText(text));
    } else {
        document = RtfReader::toDocument(text);
    }
    // Made whole in memory, then written beside the target and renamed over
    // it: a failed copy never leaves half a PDF, and a link standing at the
    // name is replaced, never written through.
    QByteArray pdf;
    {
        QBuffer out(&pdf);
        out.open(QIODevice::WriteOnly);
        QPdfWriter writer(&out);
        writer.setPageLayout(pageOf(RtfReader::looksLikeRtf(text) ? text : QByteArray()));
        writer.setTitle(QFileInfo(pdfPath).completeBaseName());
        // Laid out on the page's printable width, 96 units to the inch.
        document->setPageSize(writer.pageLayout().paintRect(QPageLayout::Inch).size() * 96.0);
        document->print(&writer);
    }
    if (!QFileInfo(QFileInfo(pdfPath).absolutePath()).isDir())
        return Failure{QStringLiteral("Path not found")};
    return Platform::writeFileAtomically(pdfPath, pdf);
}

Status saveBeside(const QString &savedPath, OfficeSession *session, RunContext *run)
{
    if (std::optional<Status> byOffice = OfficeSession::pdfCopyBeside(savedPath, session, run))
        return *byOffice;
    QFile saved(savedPath);
    if (!saved.open(QIODevice::ReadOnly))
        return Failure{saved.errorString()};
    return renderText(saved.readAll(), QStringLiteral(".") + QFileInfo(savedPath).suffix(), pdfPathFor(savedPath));
}

} // namespace PdfCopy
