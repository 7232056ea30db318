#include "core/print/preview.h"

#include "core/fill/documents.h"
#include "core/fill/officesession.h"
#include "core/fill/packagedfill.h"
#include "core/render/printdocument.h"
#include "platform/officeconvert.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTextDocument>

namespace Preview {

namespace {

// The fill's own steps run silently: a preview prints and saves nothing,
// so "Printing ..." captions would say what does not happen.
class QuietRun : public RunContext {
public:
    explicit QuietRun(const QStringList &values) : m_values(values) {}
    void showWait(const QString &) override {}
    QString fieldValue(int j) const override { return m_values.value(j - 1); }

private:
    const QStringList &m_values;
};

// Takes what the fill would hand to the printer and makes PDF pages of it.
class PagesPrinting : public Documents::Printing {
public:
    PagesPrinting(const QString &folder, OfficeSession *session, RunContext *waits)
        : m_folder(folder), m_session(session), m_waits(waits)
    {
    }
    Status printText(const QByteArray &text, const QString &title) override;
    Status printFile(const QString &path) override;
    QByteArray pdf;

private:
    QString m_folder;
    OfficeSession *m_session;
    RunContext *m_waits;
};

Status PagesPrinting::printText(const QByteArray &text, const QString &title)
{
    RtfReader::Document document = PrintDocument::forFile(text, title);
    if (document.truncated) // as the print refuses it
        return Failure{QStringLiteral("The document is too large to print this way")};
    // The default printer's paper and resolution, as the print would get them.
    QPageSize paper(QPageSize::A4);
    int dpi = 1200;
    if (const QPrinterInfo info = QPrinterInfo::defaultPrinter(); !info.isNull()) {
        const QPrinter printer(info, QPrinter::HighResolution);
        paper = printer.pageLayout().pageSize();
        dpi = printer.resolution();
    }
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setResolution(dpi);
    writer.setTitle(title);
    writer.setPageLayout(PrintDocument::pageLayout(document.page, paper));
    PrintDocument::paint(document, &writer);
    return {};
}

Status PagesPrinting::printFile(const QString &path)
{
    const QString made = m_folder + QStringLiteral("/preview.pdf");
    if (m_session && m_waits && m_session->waitReady(*m_waits)) {
        if (Status exported = m_session->exportPdf(path, made); !exported)
            return exported;
    } else if (Status exported = Platform::exportPdf(path, made); !exported) {
        return exported;
    }
    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString()};
    pdf = file.readAll();
    return {};
}

} // namespace

bool needsOffice(const QString &modelFolder, const QString &documentName)
{
    const QString file = Documents::FindDocumentFile(modelFolder, documentName);
    return PackagedFill::isPackage(Documents::extensionOf(file));
}

Result<QByteArray> pages(const Request &request, OfficeSession *session, RunContext *waits)
{
    // The fill's temporary print file and the office's PDF stay in here.
    QTemporaryDir folder;
    if (!folder.isValid())
        return Failure{QStringLiteral("Could not make a folder for the preview")};
    const Documents::Folders folders{request.modelFolder, folder.path() + QLatin1Char('/'), folder.path() + QLatin1Char('/')};
    // Printed the "Faster" way: our own pages for text, the office's for packages.
    const Documents::Request print{request.documentName, true, false, Documents::PrintMethod::Faster, QString()};
    QuietRun run(request.values);
    PagesPrinting printing(folder.path(), session, waits);
    if (Status done = Documents::ProcessDocument(print, folders, request.fieldNames, run, printing); !done)
        return Failure{done.error() + QStringLiteral(" while ") + run.stepText};
    if (printing.pdf.isEmpty())
        return Failure{QStringLiteral("There is no file for the document ") + request.documentName};
    return std::move(printing.pdf);
}

} // namespace Preview
