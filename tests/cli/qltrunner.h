#pragma once

#include "tests/support/testhome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Runs the real QLT binary in the test's home, as a script would.
struct QltResult {
    int status = -1;
    QString out;
    QString err;
    QStringList outLines() const;
};

// `unset` names environment variables the program does not get.
QltResult runQlt(const QStringList &arguments, const QString &workingFolder = QString(),
                 const QStringList &unset = {});

// Several QLT processes started at once, each with its arguments; their
// results in the same order once all have ended.
QList<QltResult> runQltTogether(const QList<QStringList> &argumentLists);

// A model in the app folder (the model folder of a fresh home): its fields,
// documents by name, and spreadsheets as path and worksheet number.
bool writeModel(const TestHome &home, const QString &name, const QStringList &fields, const QStringList &documents,
                const QStringList &sheets = {});

// The files of a folder, sorted.
QStringList filesIn(const QString &folder);
