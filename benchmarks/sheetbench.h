#pragma once

// What the spreadsheet benchmarks share: the fields of their workbooks and
// one timed fill through the engines given.
#include "core/fill/engines.h"
#include "core/fill/sheetfill.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace SheetBench {

class Run : public RunContext {
public:
    void showWait(const QString &) override {}
    QString fieldValue(int j) const override { return QStringLiteral("Value %1").arg(j); }
};

inline const QStringList kFields{QStringLiteral("First Name"), QStringLiteral("Last Name"), QStringLiteral("Address"),
                                 QStringLiteral("City"), QStringLiteral("Date")};

// Milliseconds of one whole fill of the first sheet; -1 when it failed.
inline double fillOnce(const QString &book, const QString &appFolder, Sheets::Engines &engines)
{
    QElapsedTimer t;
    t.start();
    Run run;
    bool failed = false;
    SheetFill::ProcessSpreadsheet({book, 1}, appFolder, kFields, run, engines,
                                  [&failed](const QString &text, const QString &) {
                                      std::printf("  message: %s\n", qPrintable(text));
                                      failed = true;
                                  });
    return failed ? -1 : t.nsecsElapsed() / 1e6;
}

// Points the office module and the caches at places of the benchmark's
// own; gives the app folder, created inside `dir`.
inline QString setUp(const QTemporaryDir &dir)
{
    SystemEngines::setCalcModulePath(QStringLiteral(QLT_CALC_MODULE_PATH));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.path() + QStringLiteral("/cache")));
    const QString appFolder = dir.path() + QStringLiteral("/app/");
    QDir().mkpath(appFolder);
    return appFolder;
}

// A marker workbook as CSV, "Book.csv" in `dir`, made in each format too;
// its path, or "" when it could not be written.
inline QString makeBooks(const QTemporaryDir &dir, std::initializer_list<const char *> formats);

// Has the office convert a CSV file into each format ("xlsx:filter").
inline void convert(const QTemporaryDir &dir, const QString &csv, std::initializer_list<const char *> formats)
{
    for (const char *format : formats) {
        QProcess office;
        office.start(QStringLiteral("soffice"),
                     {QStringLiteral("-env:UserInstallation=") +
                          QUrl::fromLocalFile(dir.path() + QStringLiteral("/p")).toString(),
                      QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:44,34,76,1"),
                      QStringLiteral("--convert-to"), QLatin1String(format), QStringLiteral("--outdir"), dir.path(), csv});
        office.waitForFinished(300000);
    }
}

inline QString makeBooks(const QTemporaryDir &dir, std::initializer_list<const char *> formats)
{
    const QString csv = dir.path() + QStringLiteral("/Book.csv");
    QFile f(csv);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write("First Name,Last Name,Address,City,Date\n&First Name&,&Last Name&,&Address&,&City&,&Date&\n");
    f.close();
    convert(dir, csv, formats);
    return csv;
}

} // namespace SheetBench
