#pragma once

#include "cli/fillargs.h"
#include "core/fill/documents.h"
#include "core/model/modelfile.h"

#include <QList>
#include <QString>
#include <QStringList>

// A "QLT fill" checked against the model: everything the runs need, or the
// usage error that stops them before anything is done.
namespace FillPlan {

struct Plan {
    ModelLists model;
    Documents::Folders folders;
    QStringList baseValues;           // one per field: --values, then --set
    QList<int> columnField;           // per CSV column, the 0-based field it fills
    QList<QStringList> rows;          // CSV data records; empty without --rows
    QList<int> rowLines;              // each record's number in the file
    bool batch = false;               // --rows given
    QList<bool> documentChosen;       // per model document
    FillArgs::Options options;
};

// Reads the settings, the model, the data set and the CSV file the options
// name, and checks every name in them against the model; a failure is a
// usage error.
Result<Plan> prepare(const FillArgs::Options &options);

} // namespace FillPlan
