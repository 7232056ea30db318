#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

// A home folder of the test's own: HOME and the XDG variables point into a
// temporary folder for as long as the object lives, so no test ever touches
// the real home.
class TestHome {
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString path() const;        // ends with "/"
    QString appFolder() const;   // <home>/Quillmate/, created
    QString documents() const;   // <home>/Documents/, created

    // Copies a shipped data file into a folder.
    static bool copyData(const QString &name, const QString &toFolder);
    static QString dataPath(const QString &name);

private:
    QTemporaryDir m_dir;
    QList<QPair<const char *, QByteArray>> m_saved; // the variables as they were
};

// Writes bytes to a file, creating its folder.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
