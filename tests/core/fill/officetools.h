#pragma once

#include "core/fill/spreadsheet.h"
#include "tests/support/calcmodule.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// What the office tests look at from outside the program.

// Offices started by this test process's spreadsheet engines and still running.
int ourOffices();
// The same for another process, also after it has died.
int officesOf(qint64 pid);
QList<qint64> officeProcessesOf(qint64 pid);
// Whether an office of that process listens on its pipe.
bool officeListens(qint64 pid);

// Rows read back through a spreadsheet application, each row as
// comma-separated cells.
QStringList readRows(Sheets::Engines &engines, const QString &path, int rows, int columns);
// The same rows of the first sheet as an office exports them as shown, so
// that reading a result back does not start an office of its own: through
// the test run's office, else one on a profile in workFolder.
QStringList exportedRows(const QString &path, int rows, int columns, const QString &workFolder);

// The link targets of a workbook's hyperlinks, as its file stores them.
QStringList hyperlinks(const QString &workbook);

// A LibreOffice of the user's, editing a workbook, until it is destroyed.
class UsersOffice {
public:
    UsersOffice(const QString &workbook, const QString &profileFolder);
    ~UsersOffice();
    UsersOffice(const UsersOffice &) = delete;
    UsersOffice &operator=(const UsersOffice &) = delete;

    // The office process that has the workbook open, or 0.
    qint64 lockHolder() const;
    bool holdsLock() const { return lockHolder() != 0; }

private:
    QList<qint64> processes() const;

    QString m_workbook;
    QString m_profile;
    QProcess m_process;
};
