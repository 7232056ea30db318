#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

// An exclusive advisory lock held on a small lock file. The kernel drops it
// when the process ends, however it ends, so a killed holder never blocks
// anyone; it works on network folders that support POSIX locks.
namespace Platform {

class FileLock {
public:
    FileLock() = default;
    ~FileLock() { unlock(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    enum class Outcome { Taken, Busy };
    // One attempt, never waiting. Taken: `holder` is written into the file
    // for whoever waits for it. A failure says why it could not be tried.
    Result<Outcome> tryLock(const QString &lockPath, const QByteArray &holder);
    // Removes the lock file and releases the lock.
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

    // What the current holder wrote into the lock file.
    static QByteArray holderOf(const QString &lockPath);

private:
    int m_fd = -1;
    QByteArray m_path;
};

// "user on host (process 123)", for a lock file.
QByteArray thisProcessDescription();

} // namespace Platform
