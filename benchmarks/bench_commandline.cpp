// "QLT fill" as a user runs it, whole processes, figures beside their goals:
// one .docx letter against a cp of its template, 100 .docx PDF copies
// with one office for the run, and a 1,000-row batch into a folder that
// already holds 20,000 files against one into an empty folder. Not a test:
// run it by hand, build/benchmarks/bench_commandline. The PDF copies need
// LibreOffice.
#include "core/model/modelfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>

namespace {

QString g_home;

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Wall time of a program run to its end, in ms; -1 when it failed.
double timed(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, arguments);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), p.readAllStandardError().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

// The best of a few runs: what the machine can do, without the noise of
// other work on it.
double best(int rounds, const QString &program, const QStringList &arguments)
{
    double fastest = 1e12;
    for (int i = 0; i < rounds; ++i)
        fastest = std::min(fastest, timed(program, arguments));
    return fastest;
}

QStringList fill(const QStringList &more)
{
    return QStringList{QStringLiteral("fill"), QStringLiteral("Members")} + more;
}

QString rows(int count, const QString &name)
{
    QByteArray csv = "Name,City\r\n";
    for (int r = 1; r <= count; ++r)
        csv += "Member " + QByteArray::number(r) + ",Town " + QByteArray::number(r % 50) + "\r\n";
    const QString path = g_home + name;
    write(path, csv);
    return path;
}

void line(const char *what, double figure, const char *unit, const char *goal)
{
    std::printf("%-58s %10.2f %s   (goal %s)\n", what, figure, unit, goal);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    g_home = home.path() + QLatin1Char('/');
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_home + QStringLiteral(".config")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(g_home + QStringLiteral(".cache")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(g_home + QStringLiteral(".local/share")));
    const QString qlt = QStringLiteral(QLT_BINARY);
    const QString appFolder = g_home + QStringLiteral("Quillmate/");
    QDir().mkpath(appFolder);
    QDir().mkpath(g_home + QStringLiteral("Documents"));
    ModelLists model;
    model.FieldNames = {QStringLiteral("Name"), QStringLiteral("City")};
    model.DocNames = {QStringLiteral("Letter"), QStringLiteral("Note")};
    (void)ModelFile::write(appFolder + QStringLiteral("Members.mod"), model);
    write(appFolder + QStringLiteral("Note.txt"), "Dear &Name& of &City&,\nsee you soon.\n");
    // The letter as the office writes a .docx.
    write(g_home + QStringLiteral("Letter.rtf"), "{\\rtf1\\ansi Dear &Name& of &City&,\\par see you soon.\\par}");
    QProcess convert;
    convert.start(QStringLiteral("soffice"),
                  {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(g_home + QStringLiteral("lo")).toString(),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("docx"),
                   QStringLiteral("--outdir"), appFolder, g_home + QStringLiteral("Letter.rtf")});
    const bool office = convert.waitForFinished(300000) && QFile::exists(appFolder + QStringLiteral("Letter.docx"));
    if (!office) {
        std::fprintf(stderr, "LibreOffice could not make the .docx letter: nothing to measure\n");
        return 1;
    }

    // 11: one letter, the whole process, beside a copy of its template.
    const QStringList one = fill({QStringLiteral("--set"), QStringLiteral("Name=Ann"), QStringLiteral("--set"),
                                  QStringLiteral("City=Rome"), QStringLiteral("--save"), QStringLiteral("Ann"),
                                  QStringLiteral("--documents"), QStringLiteral("Letter")});
    const double letter = best(20, qlt, one);
    const double cp = best(20, QStringLiteral("cp"), {appFolder + QStringLiteral("Letter.docx"),
                                                     g_home + QStringLiteral("copy.docx")});
    line("one .docx letter, whole process", letter, "ms", "< 10 ms");
    line("cp of the template", cp, "ms", "reference");

    // 8: 1,000 rows into an empty folder and beside 20,000 files.
    const QString csv = rows(1000, QStringLiteral("rows.csv"));
    const QString empty = g_home + QStringLiteral("empty/");
    const QString full = g_home + QStringLiteral("full/");
    QDir().mkpath(empty);
    QDir().mkpath(full);
    for (int i = 0; i < 20000; ++i)
        write(full + QStringLiteral("earlier-%1.txt").arg(i), "x");
    const QStringList batch{QStringLiteral("--rows"), csv, QStringLiteral("--save"), QStringLiteral("{Name}"),
                            QStringLiteral("--documents"), QStringLiteral("Note"), QStringLiteral("--out")};
    const double intoEmpty = timed(qlt, fill(batch + QStringList{empty}));
    const double besideMany = timed(qlt, fill(batch + QStringList{full}));
    line("1,000 rows into an empty folder", intoEmpty / 1000, "s", "reference");
    line("1,000 rows beside 20,000 files", besideMany / 1000, "s", "reference");
    line("  ratio", besideMany / intoEmpty, "x", "<= 2x");

    // 10: 100 PDF copies of the .docx letter, one office for the run.
    const double pdfs = timed(qlt, fill({QStringLiteral("--rows"), rows(100, QStringLiteral("pdfrows.csv")),
                                         QStringLiteral("--save"), QStringLiteral("{Name}"), QStringLiteral("--pdf"),
                                         QStringLiteral("--documents"), QStringLiteral("Letter"), QStringLiteral("--out"),
                                         empty}));
    line("100 .docx letters with PDF copies", pdfs / 1000, "s", "< 10 s");
    // The office alone converting the same 100 copies in one start.
    QStringList copies;
    for (const QString &name : QDir(empty).entryList({QStringLiteral("*.docx")}, QDir::Files))
        copies << empty + name;
    const double bare = timed(QStringLiteral("soffice"),
                              QStringList{QStringLiteral("-env:UserInstallation=")
                                              + QUrl::fromLocalFile(g_home + QStringLiteral("lo")).toString(),
                                          QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                          QStringLiteral("pdf"), QStringLiteral("--outdir"),
                                          g_home + QStringLiteral("bare")}
                                  + copies);
    line("  soffice --convert-to pdf of those 100 copies", bare / 1000, "s", "reference");
    return 0;
}
