#include "tests/core/fill/officetools.h"

#include "core/fill/engines.h"
#include "platform/officerun.h"
#include "tests/support/fixtureoffice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <csignal>
#include <unistd.h>

namespace {
QString commandLine(const QString &pid)
{
    QFile cmdline(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
    return cmdline.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(cmdline.readAll()) : QString();
}

QList<qint64> processesWith(const QString &text)
{
    QList<qint64> pids;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        if (pid.toLongLong() > 0 && commandLine(pid).contains(text))
            pids << pid.toLongLong();
    return pids;
}
} // namespace

QList<qint64> officeProcessesOf(qint64 pid) { return processesWith(QStringLiteral("qlt_calc_%1_").arg(pid)); }

bool officeListens(qint64 pid)
{
    QFile sockets(QStringLiteral("/proc/net/unix"));
    return sockets.open(QIODevice::ReadOnly) && sockets.readAll().contains(QStringLiteral("qlt_calc_%1_").arg(pid).toUtf8());
}

int officesOf(qint64 pid) { return int(officeProcessesOf(pid).size()); }

int ourOffices() { return officesOf(::getpid()); }

QStringList readRows(Sheets::Engines &engines, const QString &path, int rows, int columns)
{
    // A failure reads as its message, which no expected row matches.
    auto application = engines.createApplication(path);
    if (!application)
        return {application.error()};
    auto book = (*application)->open(path);
    if (!book)
        return {book.error()};
    auto sheet = (*book)->worksheet(1);
    if (!sheet)
        return {sheet.error()};
    QStringList out;
    for (int r = 1; r <= rows; ++r) {
        QStringList cells;
        for (int c = 1; c <= columns; ++c) {
            const Result<QString> text = (*sheet)->cellText(r, c);
            cells << (text ? *text : text.error());
        }
        out << cells.join(QLatin1Char(','));
    }
    if (Status closed = (*book)->close(); !closed)
        out << closed.error();
    return out;
}

QStringList exportedRows(const QString &path, int rows, int columns, const QString &workFolder)
{
    // Comma, quote, UTF-8, from line 1, cell contents as shown.
    const QString csv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true");
    const QString out = workFolder + QStringLiteral("exported/");
    const QString exported = out + QFileInfo(path).completeBaseName() + QStringLiteral(".csv");
    QFile::remove(exported);
    if (!FixtureOffice::convert({path}, csv, out, workFolder + QStringLiteral("export-profile")) || !QFileInfo::exists(exported))
        return {QStringLiteral("the office did not export ") + path};
    SystemEngines native;
    return readRows(native, exported, rows, columns);
}

QStringList hyperlinks(const QString &workbook)
{
    static const QRegularExpression odf(QStringLiteral("xlink:href=\"([^\"]*)\""));
    static const QRegularExpression ooxml(QStringLiteral("Target=\"([^\"]*)\"[^>]*TargetMode=\"External\""));
    QuaZip zip(workbook);
    if (!zip.open(QuaZip::mdUnzip))
        return {QStringLiteral("not a zip file")};
    QStringList links;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        const QString name = zip.getCurrentFileName();
        const bool content = name == QStringLiteral("content.xml");
        const bool relations = name.startsWith(QStringLiteral("xl/worksheets/_rels/"));
        if (!content && !relations)
            continue;
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString xml = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &m : (content ? odf : ooxml).globalMatch(xml))
            links << m.captured(1);
    }
    links.sort();
    return links;
}

UsersOffice::UsersOffice(const QString &workbook, const QString &profileFolder)
    : m_workbook(workbook), m_profile(QUrl::fromLocalFile(profileFolder).toString())
{
    m_process.setProgram(Platform::officeProgram());
    m_process.setArguments({QStringLiteral("-env:UserInstallation=") + m_profile, QStringLiteral("--headless"),
                            QStringLiteral("--norestore"), workbook});
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start();
}

UsersOffice::~UsersOffice()
{
    for (const qint64 pid : processes())
        ::kill(pid_t(pid), SIGTERM);
    if (!m_process.waitForFinished(30000)) {
        for (const qint64 pid : processes())
            ::kill(pid_t(pid), SIGKILL);
        m_process.waitForFinished(5000);
    }
    // The office ends without removing its lock file when it is stopped.
    const QFileInfo book(m_workbook);
    QFile::remove(book.absolutePath() + QStringLiteral("/.~lock.") + book.fileName() + QLatin1Char('#'));
}

QList<qint64> UsersOffice::processes() const { return processesWith(m_profile); }

qint64 UsersOffice::lockHolder() const
{
    const QString book = QFileInfo(m_workbook).canonicalFilePath();
    for (const qint64 pid : processes()) {
        const QString fds = QStringLiteral("/proc/%1/fd/").arg(pid);
        for (const QString &fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (QFileInfo(fds + fd).symLinkTarget() == book)
                return pid;
    }
    return 0;
}
