#pragma once

#include "core/fill/documents.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The arguments of "QLT fill", read into plain data. Nothing is checked
// against the model here; that needs the model file.
namespace FillArgs {

struct Options {
    QString model;
    QList<QPair<QString, QString>> sets; // --set FIELD=VALUE, in the order given
    QString valuesTag;                   // --values TAG
    QString rowsFile;                    // --rows FILE (.csv, .xlsx, .ods)
    bool ragged = false;                 // --ragged: take rows that do not match the header
    QString saveName;                    // --save NAME, may hold {Field}
    bool save = false;
    QString outFolder;                   // --out DIR
    bool pdf = false;
    bool print = false;
    Documents::PrintMethod method = Documents::PrintMethod::Faster;
    QStringList documents;               // --documents; empty means all
    bool sheets = false;
    int lockWaitMs = 60000;              // --wait SECONDS
    bool help = false;
};

struct Parsed {
    Options options;
    QString error; // a usage error, "" when the arguments are sound
};

// `arguments` are those after "fill".
Parsed parse(const QStringList &arguments);

// The synopsis and the options, for --help.
QString usage();

} // namespace FillArgs
