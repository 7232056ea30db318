#pragma once

#include "core/model/modelfile.h"

#include <QString>

// The program state of QLT: one record for the whole process that every
// window reads and writes directly.
namespace QLTBas {

inline const QString ProductName = QStringLiteral("Quillmate");

struct ProgramState : ModelLists {
    QString AppFolder;
    QString ModelFolder;
    QString ModelName;
    QString PickedModel;
    QString DataTag;
    qint16 DataOperation = 0; // 1 save data, 2 load data
    bool DialogDone = false;
    qint16 EditMode = 0;      // 1 fields, 2 documents, 3 spreadsheets
    bool ScrollingOn = false;
    qint16 RowsPerPage = 0;
    QString VersionText;
    QString WindowsFolder;
};

ProgramState &state();
void resetState(); // a fresh, empty state (start of a test)

// True when a file (not a folder) of that name exists; hidden files count.
bool FileExists(QString path);

// Fills the folders and the version text once, at start-up.
void FindStartupFolders();
void FindSystemFolders();
QString versionText(int major, int minor, int revision);

} // namespace QLTBas
