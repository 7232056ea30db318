// Prints how long the rich-text reader takes to read and to lay out
// documents of text and of tables from 10 KB to 10 MB; the times should
// grow in step with the size. Then documents made to break a reader,
// each to be printed within 5 s or refused. Not a test: run it by hand, e.g.
// QT_QPA_PLATFORM=offscreen build/benchmarks/bench_rtf [largest size in KB] [text|tables|hostile]
// Besides wall time it prints the process's CPU time, which a loaded
// machine disturbs far less.
#include "core/render/printdocument.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <QTextDocument>

#include <cstdio>
#include <ctime>

namespace {
const QByteArray kHead = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Times New Roman;}"
                         "{\\f1\\fcharset238 Arial CE;}}{\\colortbl;\\red0\\green0\\blue128;}"
                         "\\paperw12240\\paperh15840\\margl1440\\margr1440\\pard\\f0\\fs24 ";

QByteArray textDocument(qsizetype size)
{
    const QByteArray paragraph = "Lorem ipsum {\\b dolor} sit amet, {\\f1 \\'b3\\'f3d\\'9f} consectetur "
                                 "{\\cf1 adipiscing} elit \\u8364? sed do eiusmod tempor.\\par\n";
    QByteArray doc = kHead;
    while (doc.size() < size)
        doc += paragraph;
    return doc + '}';
}

QByteArray tableDocument(qsizetype size)
{
    const QByteArray row = "\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx2000\\cellx5000\\cellx9000\\pard\\intbl "
                           "Name\\cell {\\b Ann Zebrowski}\\cell 12 Quill Lane, Lisbon\\cell\\row\n";
    QByteArray doc = kHead;
    qsizetype table = 0;
    while (doc.size() < size) {
        doc += row;
        if (++table % 50 == 0) // tables of 50 rows between paragraphs
            doc += "\\pard Between the tables.\\par\n";
    }
    return doc + '}';
}

QByteArray nestedGroups(int depth)
{
    return "{\\rtf1 start " + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + " end}";
}

QByteArray wideRow(int columns)
{
    QByteArray row = "{\\rtf1\\trowd";
    for (int i = 1; i <= columns; ++i)
        row += "\\cellx" + QByteArray::number(i * 10);
    row += "\\pard\\intbl ";
    for (int i = 0; i < columns; ++i)
        row += "x\\cell ";
    return row + "\\row\\pard after}";
}

QByteArray longWord(qsizetype length) { return "{\\rtf1 " + QByteArray(length, 'w') + "}"; }

// CPU time of the whole process in milliseconds.
qint64 cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// `layOutCut`: lay out and print even what was read only in part, which
// printing refuses, to show how the time grows.
void measure(const char *kind, const QByteArray &rtf, bool layOutCut = true)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 cpuStart = cpuMs();
    RtfReader::Document doc = RtfReader::readDocument(rtf);
    const qint64 readMs = timer.restart();
    const qint64 readCpu = cpuMs() - cpuStart;
    if (doc.truncated && !layOutCut) { // what printing refuses rather than print a part of it
        std::printf("%-7s %8lld KB  read %7lld ms (cpu %7lld)  refused as too large to print\n", kind,
                    static_cast<long long>(rtf.size() / 1024), static_cast<long long>(readMs),
                    static_cast<long long>(readCpu));
        std::fflush(stdout);
        return;
    }
    QTemporaryFile pdf;
    pdf.open();
    QPdfWriter writer(pdf.fileName());
    writer.setPageLayout(PrintDocument::pageLayout(doc.page, QPageSize(QPageSize::A4)));
    const int pages = PrintDocument::paint(doc, &writer);
    const qint64 printMs = timer.elapsed();
    const qint64 printCpu = cpuMs() - cpuStart - readCpu;
    std::printf("%-7s %8lld KB  read %7lld ms (cpu %7lld)  layout+print %8lld ms (cpu %8lld)  %6d pages%s\n",
                kind, static_cast<long long>(rtf.size() / 1024), static_cast<long long>(readMs),
                static_cast<long long>(readCpu), static_cast<long long>(printMs),
                static_cast<long long>(printCpu), pages, doc.truncated ? "  (read in part: printing refuses it)" : "");
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const qsizetype largest = argc > 1 ? QByteArray(argv[1]).toLongLong() * 1024 : 10 * 1024 * 1024;
    const QByteArray only = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    for (const qsizetype size : {10 * 1024, 100 * 1024, 1024 * 1024, 10 * 1024 * 1024}) {
        if (size > largest)
            break;
        if (only.isEmpty() || only == "text")
            measure("text", textDocument(size));
        if (only.isEmpty() || only == "tables")
            measure("tables", tableDocument(size));
    }
    if (only.isEmpty() || only == "hostile") {
        measure("nested", nestedGroups(100000));
        measure("columns", wideRow(20000));
        measure("word", longWord(4 * 1024 * 1024)); // just under what is printed
        measure("word", longWord(50 * 1024 * 1024), false);
    }
    return 0;
}
