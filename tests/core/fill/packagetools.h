#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Zip packages and the office, for tests of word-processor documents.
namespace PackageTools {

struct RawEntry {
    QString name;
    int method = 0;
    quint32 crc = 0;
    QByteArray raw; // the compressed bytes as stored
};

using Entries = QList<QPair<QString, QByteArray>>;

// Writes a zip package; the first entry is stored when `firstStored`.
bool writeZip(const QString &path, const Entries &entries, bool firstStored = false);
QList<RawEntry> rawEntries(const QString &path);
QByteArray entry(const QString &path, const QString &name);

// Converts files with LibreOffice headless into `outDir`, with a profile of
// the test's own. `format` as soffice --convert-to takes it. True when the
// office made every file.
bool officeConvert(const QStringList &files, const QString &format, const QString &outDir);
bool haveOffice();

// The text LibreOffice reads from a document (converted to UTF-8 text).
QString officeText(const QString &file, const QString &outDir);

} // namespace PackageTools
