// Prints how long the preview takes from pressing the button to the first
// page drawn: a three-page rich-text letter laid out by our own renderer,
// and a .docx through an office started ahead. Not a test: run it by hand,
// e.g. QT_QPA_PLATFORM=offscreen build/benchmarks/bench_preview.
#include "core/fill/engines.h"
#include "core/fill/officesession.h"
#include "core/print/preview.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPdfDocument>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRounds = 7;

// A letter of three pages: a header with the page number, a table, and
// enough paragraphs to run over two page breaks.
QByteArray letter()
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\paperw12240\\paperh15840"
                     "{\\header\\pard\\qr &Name& - page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
                     "\\pard\\fs24 Dear &Name& of &City&,\\par";
    for (int r = 0; r < 6; ++r)
        rtf += "\\trowd\\cellx3000\\cellx6000\\cellx9000\\pard\\intbl Item " + QByteArray::number(r)
            + "\\cell &City&\\cell 12.00\\cell\\row";
    for (int p = 0; p < 45; ++p)
        rtf += "\\pard\\sa120 We write to you about the matter of your account, which we have reviewed with "
               "care, and we set out below what follows from it for the coming year.\\par";
    return rtf + "\\pard Yours sincerely,\\par &Name&\\par}";
}

class NoWait : public RunContext {
public:
    void showWait(const QString &) override {}
    QString fieldValue(int) const override { return QString(); }
};

// Milliseconds from the request to the first page as the window draws it.
double timeOnce(const Preview::Request &request, OfficeSession *session, int *pages)
{
    NoWait waits;
    QElapsedTimer timer;
    timer.start();
    const Result<QByteArray> pdf = Preview::pages(request, session, session ? &waits : nullptr);
    if (!pdf) {
        std::fprintf(stderr, "preview failed: %s\n", qPrintable(pdf.error()));
        return -1;
    }
    QByteArray bytes = *pdf;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&source);
    const QImage first = document.render(0, (document.pagePointSize(0) * 96 / 72).toSize());
    *pages = document.pageCount();
    return first.isNull() ? -1 : timer.nsecsElapsed() / 1e6;
}

void report(const char *what, const Preview::Request &request, OfficeSession *session, double goalMs)
{
    std::vector<double> times;
    int pages = 0;
    for (int i = 0; i < kRounds; ++i)
        times.push_back(timeOnce(request, session, &pages));
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-40s %2d pages  median %8.1f ms  best %8.1f ms  goal < %6.0f ms  %s\n", what, pages, median,
                times.front(), goalMs, median >= 0 && median < goalMs ? "met" : "NOT MET");
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    const QString models = folder.path() + QLatin1Char('/');
    QFile rtf(models + QStringLiteral("Letter.rtf"));
    if (!rtf.open(QIODevice::WriteOnly) || rtf.write(letter()) < 0)
        return 1;
    rtf.close();
    const QStringList fields{QStringLiteral("Name"), QStringLiteral("City")};
    const QStringList values{QStringLiteral("Ann Smith"), QStringLiteral("Lisbon")};
    report("3-page .rtf letter, own renderer", {QStringLiteral("Letter"), models, fields, values}, nullptr, 300);

    if (!QFile::copy(QStringLiteral(QLT_DATA_DIR "Sample Doc.docx"), models + QStringLiteral("Sample Doc.docx")))
        return 1;
    SystemEngines::setCalcModulePath(QStringLiteral(QLT_CALC_MODULE_PATH));
    OfficeSession session;
    session.startAhead();
    NoWait waits;
    if (!session.waitReady(waits)) {
        std::printf("%-40s no office\n", ".docx, office started ahead");
        return 1;
    }
    const QStringList sampleFields{QStringLiteral("First Name"), QStringLiteral("Last Name")};
    report(".docx, office started ahead", {QStringLiteral("Sample Doc"), models, sampleFields, values}, &session, 1500);
    return 0;
}
