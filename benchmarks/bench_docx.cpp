// Prints how fast a 100-page .docx is filled, beside a plain unzip + rezip
// of the same package, and how fast a PDF copy of a five-page letter is
// made in-process. Not a test: run it by hand, e.g. build/benchmarks/bench_docx.
#include "core/fill/packagedfill.h"
#include "core/render/pdfcopy.h"
#include "core/fill/xmlmarkers.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
constexpr int kFields = 20;
constexpr int kMarkers = 2000;
constexpr int kParagraphs = 100 * 30; // about thirty paragraphs a page
constexpr int kRounds = 7;

const QByteArray kRun = "<w:r><w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\"/>"
                   "<w:sz w:val=\"24\"/></w:rPr><w:t xml:space=\"preserve\">";
const QByteArray kItalicRun = "<w:r><w:rPr><w:i/><w:sz w:val=\"24\"/></w:rPr><w:t xml:space=\"preserve\">";

QByteArray makeDocumentXml(const QStringList &names)
{
    QByteArray body;
    QRandomGenerator rng(42);
    const QByteArray filler = "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor. ";
    for (int p = 0; p < kParagraphs; ++p) {
        body += "<w:p><w:pPr><w:pStyle w:val=\"Normal\"/></w:pPr>";
        body += kRun + filler + "</w:t></w:r>";
        // Markers spread evenly; every second one split in two runs.
        for (int m = p * kMarkers / kParagraphs; m < (p + 1) * kMarkers / kParagraphs; ++m) {
            const QByteArray name = names[rng.bounded(kFields)].toUtf8();
            if (m % 2 == 0) {
                body += kRun + "&amp;" + name + "&amp; </w:t></w:r>";
            } else {
                const qsizetype half = name.size() / 2;
                body += kRun + "&amp;" + name.left(half) + "</w:t></w:r>" + kItalicRun + name.mid(half)
                    + "&amp; </w:t></w:r>";
            }
        }
        body += "<w:proofErr w:type=\"spellStart\"/>" + (kRun + filler) + "</w:t></w:r></w:p>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/"
           "wordprocessingml/2006/main\"><w:body>"
        + body + "</w:body></w:document>";
}

bool writePackage(const QString &path, const QByteArray &document)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    const QList<QPair<QString, QByteArray>> entries{
        {QStringLiteral("[Content_Types].xml"), QByteArray(1500, ' ')},
        {QStringLiteral("word/document.xml"), document},
        {QStringLiteral("word/styles.xml"), QByteArray(20000, 's')},
        {QStringLiteral("word/media/image1.png"), QByteArray(200000, 'i')},
    };
    for (const auto &[name, bytes] : entries) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name));
        f.write(bytes);
        f.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

// What any zip tool does to rewrite a package: inflate every entry and
// deflate it again.
void unzipRezip(const QString &from, const QString &to)
{
    QuaZip in(from);
    QuaZip out(to);
    in.open(QuaZip::mdUnzip);
    out.open(QuaZip::mdCreate);
    for (bool more = in.goToFirstFile(); more; more = in.goToNextFile()) {
        QuaZipFile source(&in);
        source.open(QIODevice::ReadOnly);
        const QByteArray bytes = source.readAll();
        QuaZipFile dest(&out);
        dest.open(QIODevice::WriteOnly, QuaZipNewInfo(source.getActualFileName()));
        dest.write(bytes);
        dest.close();
    }
    out.close();
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Median CPU time of this thread: on a busy machine wall time mostly
// measures the other processes.
template<typename F>
double medianMs(F &&work)
{
    std::vector<double> times;
    for (int r = 0; r < kRounds; ++r) {
        const double start = threadCpuMs();
        work();
        times.push_back(threadCpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList names, values;
    for (int f = 1; f <= kFields; ++f) {
        names << QStringLiteral("Field %1").arg(f);
        values << QStringLiteral("Value <%1> & more").arg(f);
    }
    const QString source = dir.filePath(QStringLiteral("Long.docx"));
    const QByteArray xml = makeDocumentXml(names);
    if (!writePackage(source, xml))
        return 1;
    const double fill = medianMs([&] {
        (void)PackagedFill::fillPackage(source, dir.filePath(QStringLiteral("Filled.docx")), QStringLiteral(".docx"),
                                        names, values);
    });
    const double xmlOnly = medianMs([&] { (void)XmlMarkers::fill(xml, XmlMarkers::Dialect::Word, names, values); });
    const double rezip = medianMs([&] { unzipRezip(source, dir.filePath(QStringLiteral("Rezip.docx"))); });
    std::printf("CPU time, median of %d rounds.\n100-page .docx (%lld KB of text, %d markers, half split): fill %.1f ms, unzip+rezip %.1f ms, "
                "ratio %.2f (goal <= 2 and < 50 ms)\n",
                kRounds, static_cast<long long>(xml.size() / 1024), kMarkers, fill, rezip, fill / rezip);
    std::printf("  of which the markup alone: %.1f ms\n", xmlOnly);

    // Five pages of the sample letter, each ending with a page break.
    QFile sample(QStringLiteral(QLT_DATA_DIR "Sample Doc.rtf"));
    if (!sample.open(QIODevice::ReadOnly))
        return 1;
    QByteArray rtf = sample.readAll();
    const qsizetype bodyStart = rtf.indexOf("\\viewkind4");
    const QByteArray body = rtf.mid(bodyStart, rtf.lastIndexOf('}') - bodyStart);
    rtf = rtf.left(bodyStart) + (body + "\\page\n").repeated(5) + '}';
    const double pdf = medianMs([&] {
        (void)PdfCopy::renderText(rtf, QStringLiteral(".rtf"), dir.filePath(QStringLiteral("Letter.pdf")));
    });
    std::printf("PDF copy of the five-page sample letter in-process: %.1f ms (goal < 100 ms)\n", pdf);
    return 0;
}
