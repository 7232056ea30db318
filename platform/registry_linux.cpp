#include "platform/registry.h"

#include "platform/codepage.h"
#include "platform/filesystem.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Platform {

namespace {
// A small INI store of our own: QSettings would fold the backslashes of the
// key path into group separators, and the key path must stay as it is.
struct Section {
    QString name;
    QList<QPair<QString, QString>> values;
};

QList<Section> readStore()
{
    QList<Section> sections;
    QFile f(registryFile());
    if (!f.open(QIODevice::ReadOnly))
        return sections;
    const QStringList lines = decodeText(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections.append({line.mid(1, line.size() - 2), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !sections.isEmpty())
            sections.last().values.append({line.left(eq), line.mid(eq + 1)});
    }
    return sections;
}

bool writeStore(const QList<Section> &sections)
{
    const QString file = registryFile();
    if (sections.isEmpty()) {
        // Nothing recorded any more: leave no empty store behind.
        QFile::remove(file);
        QDir().rmdir(QFileInfo(file).absolutePath());
        return true;
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QString text;
    for (const Section &s : sections) {
        text += QLatin1Char('[') + s.name + QStringLiteral("]\n");
        for (const auto &[k, v] : s.values)
            text += k + QLatin1Char('=') + v + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    // Renamed into place: a link standing at the record's name is replaced,
    // never written through.
    return writeFileAtomically(file, encodeText(text)).ok();
}

qsizetype findSection(const QList<Section> &sections, const QString &keyPath)
{
    for (qsizetype i = 0; i < sections.size(); ++i)
        if (sections[i].name.compare(keyPath, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

QString registryFile() { return configFolder() + QStringLiteral("Quillmate/registry.ini"); }

bool setRegistryString(const QString &keyPath, const QString &valueName, const QString &value)
{
    QList<Section> sections = readStore();
    qsizetype i = findSection(sections, keyPath);
    if (i < 0) {
        sections.append({keyPath, {}});
        i = sections.size() - 1;
    }
    auto &values = sections[i].values;
    bool replaced = false;
    for (auto &kv : values) {
        if (kv.first.compare(valueName, Qt::CaseInsensitive) == 0) {
            kv.second = value;
            replaced = true;
        }
    }
    if (!replaced)
        values.append({valueName, value});
    return writeStore(sections);
}

QString registryString(const QString &keyPath, const QString &valueName)
{
    const QList<Section> sections = readStore();
    const qsizetype i = findSection(sections, keyPath);
    if (i < 0)
        return QString();
    for (const auto &[k, v] : sections[i].values)
        if (k.compare(valueName, Qt::CaseInsensitive) == 0)
            return v;
    return QString();
}

bool registryKeyExists(const QString &keyPath) { return findSection(readStore(), keyPath) >= 0; }

bool deleteRegistryKey(const QString &keyPath)
{
    QList<Section> sections = readStore();
    const qsizetype i = findSection(sections, keyPath);
    if (i < 0)
        return false;
    sections.removeAt(i);
    return writeStore(sections);
}

} // namespace Platform
