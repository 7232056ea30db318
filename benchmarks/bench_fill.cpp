// Prints how fast documents are filled, beside a plain copy of the same
// bytes. Not a test: run it by hand, e.g. build/benchmarks/bench_fill.
#include "core/fill/markers.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr qsizetype kDocumentSize = 5 * 1024 * 1024;
constexpr int kFields = 20;
constexpr int kMarkers = 10000;
constexpr int kRounds = 7;
const QString kRtf = QStringLiteral(".rtf");

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

// Markers one after the other, each right after a control word.
QByteArray makeTouching(const QStringList &names, int markers)
{
    QByteArray doc("{\\rtf1\\ansi\\pard\\b");
    for (int m = 0; m < markers; ++m)
        doc += '&' + names[m % kFields].toUtf8() + '&';
    doc += '}';
    return doc;
}

// The best of several rounds, in milliseconds.
double bestOf(const std::function<void()> &work)
{
    double best = 1e300;
    QElapsedTimer timer;
    for (int r = 0; r < kRounds; ++r) {
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

QList<QByteArray> bytes(const QStringList &list)
{
    QList<QByteArray> out;
    for (const QString &s : list)
        out << s.toUtf8();
    return out;
}
} // namespace

int main()
{
    QStringList names, values, ampersandValues;
    for (int f = 1; f <= kFields; ++f) {
        names << QStringLiteral("Field %1").arg(f);
        values << QStringLiteral("Value number %1").arg(f);
        ampersandValues << QStringLiteral("Smith & Sons %1").arg(f);
    }
    const QByteArray doc = makeDocument(names);
    const double mb = doc.size() / (1024.0 * 1024.0);
    const bool swept = Markers::Detail::fillInOneSweep(doc, kRtf, bytes(names), bytes(values)).has_value();

    qsizetype outSize = 0;
    const double fillMs = bestOf([&] { outSize = Markers::ReplaceFieldMarkers(doc, kRtf, names, values)->size(); });
    const double copyMs = bestOf([&] {
        QByteArray copy(doc.constData(), doc.size()); // a deep copy of the same bytes
        outSize = std::max(outSize, copy.size());
    });
    const double passesMs = bestOf([&] {
        outSize = std::max(outSize, Markers::ReplaceFieldMarkers(doc, kRtf, names, ampersandValues)->size());
    });
    std::printf("document: %.2f MB RTF, %d fields, %d markers (%s)\n", mb, kFields, kMarkers,
                swept ? "one sweep" : "field by field");
    std::printf("  marker fill        %8.2f ms  %8.1f MB/s  %5.1fx the copy (goal: within 8x)\n", fillMs,
                mb / (fillMs / 1000.0), fillMs / copyMs);
    std::printf("  plain copy         %8.2f ms  %8.1f MB/s\n", copyMs, mb / (copyMs / 1000.0));
    std::printf("  values with \"&\"    %8.2f ms  (field by field, %5.1fx the copy)\n", passesMs, passesMs / copyMs);

    std::printf("touching markers after a control word (goal: linear, flat time per marker)\n");
    for (const int markers : {10000, 20000, 40000, 80000}) {
        const QByteArray touching = makeTouching(names, markers);
        const double ms = bestOf([&] { outSize = Markers::ReplaceFieldMarkers(touching, kRtf, names, values)->size(); });
        const double passes = bestOf(
            [&] { outSize = Markers::ReplaceFieldMarkers(touching, kRtf, names, ampersandValues)->size(); });
        std::printf("  %6d markers  %8.2f ms  %6.1f ns/marker   field by field %8.2f ms  %6.1f ns/marker\n", markers,
                    ms, ms * 1e6 / markers, passes, passes * 1e6 / markers);
    }
    return outSize > 0 ? 0 : 1;
}
