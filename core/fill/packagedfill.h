#pragma once

#include "core/fill/documents.h"

#include <QString>
#include <QStringList>

#include <functional>

// Word-processor documents that are zip packages of XML parts (.docx, .odt):
// filled part by part, every other entry copied byte for byte.
namespace PackagedFill {

// ".docx" or ".odt", in any letter case.
bool isPackage(const QString &extension);

// The parts that hold text a user sees: main text, headers, footers, notes
// and the text boxes within them.
bool isTextPart(const QString &entryName, const QString &extension);

// Writes `source` filled with the values to `target`. Fails for a damaged,
// encrypted or oversized package, or a value the document cannot hold;
// nothing is written then. `replacing` is called once the package is read.
Status fillPackage(const QString &source, const QString &target, const QString &extension,
                   const QStringList &fieldNames, const QStringList &values,
                   const std::function<void()> &replacing = {});

// ProcessDocument for a package found as `file` in the model folder: filled
// once, then printed through the office and/or saved.
Status processPackage(const Documents::Request &request, const Documents::Folders &folders, const QString &file,
                      const QStringList &fieldNames, RunContext &run, Documents::Printing &printing);

} // namespace PackagedFill
