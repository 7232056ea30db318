// Prints how fast a large document is filled, beside a plain copy of the
// same bytes. Not a test: run it by hand, e.g. build/benchmarks/bench_fill.
#include "app/fill/markers.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <cstdio>

namespace {
constexpr qsizetype kDocumentSize = 5 * 1024 * 1024;
constexpr int kFields = 20;
constexpr int kMarkers = 10000;
constexpr int kRounds = 5;

QByteArray makeDocument(const QStringList &names)
{
    QByteArray doc("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\pard\\f0\\fs24 ");
    const QByteArray filler("Lorem ipsum dolor sit amet, consectetur adipiscing elit.\\par\n");
    const qsizetype gap = kDocumentSize / kMarkers;
    QRandomGenerator rng(42);
    for (int m = 0; m < kMarkers; ++m) {
        const qsizetype target = doc.size() + gap;
        while (doc.size() < target)
            doc += filler;
        doc += '&' + names[rng.bounded(kFields)].toUtf8() + '&';
    }
    doc += '}';
    return doc;
}
} // namespace

int main()
{
    QStringList names, values;
    for (int f = 1; f <= kFields; ++f) {
        names << QStringLiteral("Field %1").arg(f);
        values << QStringLiteral("Value number %1").arg(f);
    }
    const QByteArray doc = makeDocument(names);

    QElapsedTimer timer;
    qint64 fillNs = 0, copyNs = 0;
    qsizetype outSize = 0;
    for (int r = 0; r < kRounds; ++r) {
        timer.start();
        const QByteArray filled = Markers::ReplaceFieldMarkers(doc, QStringLiteral(".rtf"), names, values);
        fillNs += timer.nsecsElapsed();
        outSize = filled.size();

        timer.start();
        QByteArray copy(doc.constData(), doc.size()); // a deep copy of the same bytes
        copyNs += timer.nsecsElapsed();
        if (copy.size() != doc.size())
            return 1;
    }
    const double fillMs = fillNs / 1e6 / kRounds;
    const double copyMs = copyNs / 1e6 / kRounds;
    const double mb = doc.size() / (1024.0 * 1024.0);
    std::printf("document: %.2f MB, %d fields, %d markers, filled size %.2f MB\n", mb, kFields, kMarkers,
                outSize / (1024.0 * 1024.0));
    std::printf("fill:       %8.2f ms per fill   %8.1f MB/s\n", fillMs, mb / (fillMs / 1000.0));
    std::printf("plain copy: %8.2f ms per copy   %8.1f MB/s\n", copyMs, mb / (copyMs / 1000.0));
    return 0;
}
