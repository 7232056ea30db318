#include "tests/core/fill/packagetools.h"

#include "tests/support/fixtureoffice.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace PackageTools {

bool writeZip(const QString &path, const Entries &entries, bool firstStored)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    bool first = true;
    for (const auto &[name, bytes] : entries) {
        QuaZipFile file(&zip);
        const bool stored = first && firstStored;
        first = false;
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, stored ? 0 : Z_DEFLATED))
            return false;
        file.write(bytes);
        file.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

QList<RawEntry> rawEntries(const QString &path)
{
    QList<RawEntry> list;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return list;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        zip.getCurrentFileInfo(&info);
        QuaZipFile file(&zip);
        int method = 0, level = 0;
        file.open(QIODevice::ReadOnly, &method, &level, true);
        list.append({info.name, method, info.crc, file.readAll()});
    }
    return list;
}

QByteArray entry(const QString &path, const QString &name)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name))
        return QByteArray();
    QuaZipFile file(&zip);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

bool haveOffice() { return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty(); }

namespace {
// One office profile per test process (see FixtureOffice::convert).
QString officeProfile()
{
    static const QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/qlt-test-office-XXXXXX"));
    return profile.path();
}

bool allConverted(const QStringList &files, const QString &format, const QString &outDir)
{
    const QString suffix = format.section(QLatin1Char(':'), 0, 0);
    for (const QString &f : files)
        if (!QFileInfo::exists(outDir + QLatin1Char('/') + QFileInfo(f).completeBaseName() + QLatin1Char('.') + suffix))
            return false;
    return true;
}
} // namespace

bool officeConvert(const QStringList &files, const QString &format, const QString &outDir)
{
    return FixtureOffice::convert(files, format, outDir, officeProfile()) && allConverted(files, format, outDir);
}

QString officeText(const QString &file, const QString &outDir)
{
    if (!officeConvert({file}, QStringLiteral("txt:Text (encoded):UTF8"), outDir))
        return QString();
    QFile text(outDir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QStringLiteral(".txt"));
    text.open(QIODevice::ReadOnly);
    return QString::fromUtf8(text.readAll());
}

} // namespace PackageTools
