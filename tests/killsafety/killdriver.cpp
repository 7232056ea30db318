// Performs one kind of save over and over, alternating between two
// versions, until it is killed. It prints "ready" once the first version is
// on disk, so every kill lands while saves run.
//   qlt_killdriver <kind> <home folder ending in />

#include "killdriver.h"

#include "core/fill/documents.h"
#include "core/fill/sheetfill.h"
#include "core/model/datasets.h"
#include "core/model/settingsfile.h"
#include "core/model/textfile.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

using namespace KillSafety;

namespace {
[[noreturn]] void die(const QString &what)
{
    std::fprintf(stderr, "killdriver: %s\n", qPrintable(what));
    std::exit(2);
}

class Run : public RunContext {
public:
    QStringList values;
    void showWait(const QString &) override {}
    QString fieldValue(int j) const override { return values.value(j - 1); }
};

class SheetEngines : public Sheets::Engines {
public:
    Result<std::unique_ptr<Sheets::Application>> createApplication(const QString &path) override
    {
        return sheetApplication(path);
    }
};

class NoPrinting : public Documents::Printing {
public:
    Status printText(const QByteArray &, const QString &) override { die(QStringLiteral("nothing is printed")); }
    Status printFile(const QString &) override { die(QStringLiteral("nothing is printed")); }
};

// The number of records the spreadsheet holds: its rows less the labels
// and the marker row.
int sheetRecords(const QString &path)
{
    const Result<QList<QStringList>> rows = sheetRows(path);
    if (!rows)
        die(rows.error());
    return static_cast<int>(rows->size()) - 2;
}

void saveOnce(const QString &kind, const QString &home, int round)
{
    const QString app = appFolder(home);
    const int version = round % 2;
    QString error;
    bool ok = true;
    const auto wrote = [&](const Status &written) {
        error = written.error();
        return written.ok();
    };
    if (kind == QStringLiteral("model")) {
        ok = wrote(ModelFile::write(ModelFile::modelPath(app, modelName()), model(version)));
    } else if (kind == QStringLiteral("settings")) {
        ok = wrote(SettingsFile::write(app, {model(version).FieldNames.last(), app}));
    } else if (kind == QStringLiteral("dataset")) {
        ok = wrote(DataSets::write(DataSets::dataFolder(app, modelName()) + tag(), values(version)));
    } else if (isSpreadsheet(kind)) {
        const QString book = sheetPath(home, kind);
        Run run;
        run.values = csvRecord(sheetRecords(book) + 1);
        SheetEngines engines;
        SheetFill::ProcessSpreadsheet({book, 1}, app, documentFields(), run, engines,
                                      [](const QString &text, const QString &) { die(text); });
    } else if (kind == QStringLiteral("document")) {
        Run run;
        run.values = {documentValue(version, 1), documentValue(version, 2)};
        NoPrinting printing;
        Documents::Request request;
        request.name = QStringLiteral("Letter");
        request.save = true;
        request.saveName = tag();
        if (const Status saved = Documents::ProcessDocument(request, {app, app, saveFolder(home)}, documentFields(), run,
                                                            printing);
            !saved)
            die(saved.error() + QStringLiteral(" while ") + run.stepText);
    } else {
        die(QStringLiteral("unknown kind ") + kind);
    }
    if (!ok)
        die(error);
}

void prepare(const QString &kind, const QString &home)
{
    for (const QString &folder : {appFolder(home), saveFolder(home), sheetFolder(home),
                                  DataSets::dataFolder(appFolder(home), modelName())})
        if (!QDir().mkpath(folder))
            die(QStringLiteral("cannot create ") + folder);
    auto writeNew = [](const QString &path, const QByteArray &bytes) {
        if (QFile::exists(path))
            return;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            die(QStringLiteral("cannot write ") + path);
    };
    if (kind == QStringLiteral("csv"))
        writeNew(sheetPath(home, kind), csvStart());
    // The same labels and markers in workbooks the office made.
    if (kind == QStringLiteral("xlsx") || kind == QStringLiteral("ods")) {
        QFile fixture(QStringLiteral(QLT_WORKBOOKS "row.") + kind);
        if (!fixture.open(QIODevice::ReadOnly))
            die(QStringLiteral("cannot read ") + fixture.fileName());
        writeNew(sheetPath(home, kind), fixture.readAll());
    }
    if (kind == QStringLiteral("document"))
        writeNew(appFolder(home) + QStringLiteral("Letter.rtf"), documentText());
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        die(QStringLiteral("usage: qlt_killdriver <kind> <home/>"));
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString home = QString::fromLocal8Bit(argv[2]);
    prepare(kind, home);
    saveOnce(kind, home, 0);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int round = 1;; ++round)
        saveOnce(kind, home, round);
}
