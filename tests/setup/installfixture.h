#pragma once

#include "remove/remove.h"
#include "setup/installer.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>

// Installer and uninstaller windows that answer as scripted and remember
// what they were asked.
struct FakeSetupUi : SETUP1::Ui {
    bool install = true;
    bool yes = true;
    QString shownInformation;
    QStringList messages; // "title|text"
    QStringList captions;
    QString lastDots;
    int ticks = 0;
    QStringList started;
    bool waitOpen = false;

    bool showSetupInformation(const QString &text) override { shownInformation = text; return install; }
    bool askToContinue(const QString &text, const QString &title) override
    {
        messages << title + QLatin1Char('|') + text;
        return yes;
    }
    void message(const QString &text, const QString &title) override { messages << title + QLatin1Char('|') + text; }
    void showWait() override { waitOpen = true; }
    void setWaitCaption(const QString &caption) override { captions << caption; }
    void setDots(const QString &dots) override { lastDots = dots; ++ticks; }
    void processEvents() override {}
    void closeWait() override { waitOpen = false; }
    void startProgram(const QString &program, const QString &) override { started << program; }
};

struct FakeRemoveUi : Remove::Ui {
    bool yes = true;
    QStringList messages;
    QStringList phases;
    bool waitOpen = false;
    bool confirm(const QString &text, const QString &title) override
    {
        messages << title + QLatin1Char('|') + text;
        return yes;
    }
    void message(const QString &text, const QString &title) override { messages << title + QLatin1Char('|') + text; }
    void showWait() override { waitOpen = true; }
    void setDoingWhat(const QString &text) override { phases << text; }
    void processEvents() override {}
    void closeWait() override { waitOpen = false; }
};

inline const QStringList &payloadFiles()
{
    static const QStringList files{QStringLiteral("QLT.txt"), QStringLiteral("Pointer.html"), QStringLiteral("QLT"),
                                   QStringLiteral("RemoveQLT"), QStringLiteral("qltcalc.so"), QStringLiteral("qltgui.so"),
                                   QStringLiteral("Template.rtf"),
                                   QStringLiteral("Sample Model.mod"), QStringLiteral("Sample Doc.rtf"),
                                   QStringLiteral("Sample Spreadsheet.xls")};
    return files;
}

// Lays out an installer folder: the shipped data files, stand-ins for the
// programs (marked with `tag`), and the installer itself.
inline QString makeInstallerFolder(const TestHome &home, const QByteArray &tag = "v1")
{
    const QString folder = home.path() + QStringLiteral("installer/");
    QDir().mkpath(folder);
    for (const QString &f : payloadFiles()) {
        if (f == QStringLiteral("QLT") || f == QStringLiteral("RemoveQLT") || f.endsWith(QStringLiteral(".so"))) {
            writeFile(folder + f, "#!/bin/sh\n# " + f.toUtf8() + " " + tag + "\n");
            QFile::setPermissions(folder + f, QFile::permissions(folder + f) | QFile::ExeOwner);
        } else {
            QFile::remove(folder + f);
            QFile::copy(TestHome::dataPath(f), folder + f);
        }
    }
    writeFile(folder + QStringLiteral("SetupQLT"), "installer");
    return folder;
}

inline SETUP1::Folders installFolders(const TestHome &home, const QString &installer)
{
    return {installer.left(installer.size() - 1), home.path() + QStringLiteral("Quillmate/"),
            home.path() + QStringLiteral(".local/bin/"), home.path() + QStringLiteral("Desktop/"),
            home.path() + QStringLiteral(".local/share/applications/")};
}

inline Remove::Folders removeFolders(const TestHome &home)
{
    return {home.path(), home.path() + QStringLiteral(".local/bin/"), home.path() + QStringLiteral("Quillmate/"),
            home.path() + QStringLiteral("gcur.txt"), home.path() + QStringLiteral(".local/share/Trash/")};
}

// Every file below a folder, relative to it.
inline QStringList filesBelow(const QString &root)
{
    QStringList out;
    QDir dir(root);
    for (const QFileInfo &fi : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System)) {
        if (fi.isDir() && !fi.isSymLink()) {
            for (const QString &f : filesBelow(fi.filePath()))
                out << fi.fileName() + QLatin1Char('/') + f;
        } else {
            out << fi.fileName();
        }
    }
    out.sort();
    return out;
}

// Every file below a folder with its content (a link: where it points).
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &f : filesBelow(folder)) {
        const QFileInfo fi(folder + f);
        files.insert(f, fi.isSymLink() ? fi.symLinkTarget().toUtf8() : readFile(folder + f));
    }
    return files;
}
