#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestHome::TestHome()
{
    const QString home = m_dir.path();
    const QList<QPair<const char *, QString>> variables = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + QStringLiteral("/.config")},
        {"XDG_DATA_HOME", home + QStringLiteral("/.local/share")},
        {"XDG_CACHE_HOME", home + QStringLiteral("/.cache")}};
    for (const auto &[name, value] : variables) {
        m_saved.append({name, qgetenv(name)});
        qputenv(name, QFile::encodeName(value));
    }
    QDir().mkpath(appFolder());
    QDir().mkpath(documents());
}

TestHome::~TestHome()
{
    for (const auto &[name, value] : m_saved) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}

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
