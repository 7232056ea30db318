#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestHome::TestHome()
    : m_oldHome(qgetenv("HOME"))
{
    const QString home = m_dir.path();
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
    QDir().mkpath(appFolder());
    QDir().mkpath(documents());
}

TestHome::~TestHome() { qputenv("HOME", m_oldHome); }

QString TestHome::path() const { return m_dir.path() + QLatin1Char('/'); }

QString TestHome::appFolder() const { return path() + QStringLiteral("Quillmate/"); }

QString TestHome::documents() const { return path() + QStringLiteral("Documents/"); }

QString TestHome::dataPath(const QString &name) { return QStringLiteral(QLT_DATA_DIR) + name; }

bool TestHome::copyData(const QString &name, const QString &toFolder)
{
    QFile::remove(toFolder + name);
    return QFile::copy(dataPath(name), toFolder + name);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
