#pragma once

#include <QString>
#include <QTemporaryDir>

// The filled document on its way to the printer or to its save name: a file
// "temprtf" + extension in a new folder of this fill's own, so fills running
// at the same time (several QLT processes, a window and a batch) never share
// one. The folder and the file go with the object, on every way out.
class ScratchFile {
public:
    explicit ScratchFile(const QString &extension);
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_path; }
    // Why the folder could not be made.
    QString errorString() const { return m_dir.errorString(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
