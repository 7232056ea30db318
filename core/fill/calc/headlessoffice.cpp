#include "core/fill/calc/headlessoffice.h"

#include "platform/folders.h"
#include "platform/officerun.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <atomic>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cppuhelper/bootstrap.hxx>

using namespace com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace CalcOffice {

namespace {
constexpr int kStartTimeoutMs = 60000;

// Tells the office, in its own profile, to lock no file it opens: neither a
// lock file beside it nor a lock of the system. False when it would not.
bool turnOffFileLocking(const Reference<uno::XComponentContext> &office)
{
    try {
        const Reference<lang::XMultiServiceFactory> provider = configuration::theDefaultProvider::get(office);
        uno::Sequence<uno::Any> where(1);
        where.getArray()[0] <<= beans::NamedValue(rtl::OUString::createFromAscii("nodepath"),
                                                   uno::Any(rtl::OUString::createFromAscii("/org.openoffice.Office.Common/Misc")));
        const Reference<container::XNameReplace> misc(
            provider->createInstanceWithArguments(
                rtl::OUString::createFromAscii("com.sun.star.configuration.ConfigurationUpdateAccess"), where),
            UNO_QUERY_THROW);
        misc->replaceByName(rtl::OUString::createFromAscii("UseLocking"), uno::Any(false));
        Reference<util::XChangesBatch>(misc, UNO_QUERY_THROW)->commitChanges();
        return true;
    } catch (const uno::Exception &) {
        return false;
    }
}
constexpr int kFirstStartExit = 81; // a fresh profile: the office restarts itself

Reference<uno::XComponentContext> localContext()
{
    static Reference<uno::XComponentContext> context;
    if (!context.is()) {
        // Without this the first remote call fails deep inside the bridge.
        qputenv("URE_BOOTSTRAP", QFile::encodeName(QStringLiteral("vnd.sun.star.pathname:") + officeFolder()
                                                   + QStringLiteral("fundamentalrc")));
        context = cppu::defaultBootstrap_InitialComponentContext();
    }
    return context;
}

// A profile leased for this program's lifetime, so two QLT instances never
// drive each other's office, and set up once for all later ones: the first
// start on a fresh profile is slow.
QString profileUrl() { return Platform::officeProfileUrl(QStringLiteral("calc-profile")); }
} // namespace

// UNO messages end in " at ./file.cxx:N", which says nothing to a user.
QString describe(const uno::Exception &e)
{
    static const QRegularExpression tail(QStringLiteral("\\s+at\\s+\\S+:\\d+\\s*$"));
    QString message = fromOU(e.Message);
    message.remove(tail);
    return message.isEmpty() ? QStringLiteral("LibreOffice reported an error") : message;
}

[[noreturn]] void rethrow(const uno::Exception &e) { throw OfficeError(describe(e)); }

Reference<lang::XComponent> loadHidden(const Reference<frame::XComponentLoader> &loader, const QString &path,
                                       bool editable)
{
    if (!QFileInfo(path).isFile())
        throw OfficeError(QStringLiteral("File not found"));
    try {
        const auto args = properties({property("Hidden", uno::Any(true)), property("ReadOnly", uno::Any(!editable)),
                                      property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
                                      property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE))});
        return loader->loadComponentFromURL(toOU(fileUrl(path)), rtl::OUString::createFromAscii("_blank"), 0, args);
    } catch (const uno::Exception &e) {
        rethrow(e);
    }
}

// The office program folder, where soffice.bin and fundamentalrc lie.
QString officeFolder()
{
    const QString soffice = Platform::officeProgram();
    if (soffice.isEmpty())
        return QString();
    return QFileInfo(QFileInfo(soffice).canonicalFilePath()).absolutePath() + QLatin1Char('/');
}

namespace {
std::atomic<int> launched{0};
} // namespace

int HeadlessOffice::started() { return launched.load(); }

HeadlessOffice::HeadlessOffice()
{
    m_folder = officeFolder();
    if (m_folder.isEmpty() || !QFileInfo(m_folder + QStringLiteral("soffice.bin")).isExecutable())
        throw OfficeError(QStringLiteral("LibreOffice Calc is not installed"));
    // An office that dies while its connection writes to it must not take
    // this program with it.
    Platform::surviveBrokenPipes();
    try {
        m_local = localContext();
    } catch (const uno::Exception &e) {
        rethrow(e);
    }
    m_pipe = QStringLiteral("qlt_calc_%1_%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QRandomGenerator::global()->generate());
    m_since.start();
    launch();
    ++launched;
}

void HeadlessOffice::launch()
{
    m_process.setProgram(m_folder + QStringLiteral("soffice.bin"));
    m_process.setArguments({QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
                            QStringLiteral("--nologo"), QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
                            QStringLiteral("-env:UserInstallation=") + profileUrl(),
                            QStringLiteral("--accept=pipe,name=") + m_pipe + QStringLiteral(";urp;")});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // Ended with us, even if we crash.
    Platform::tieToThisProcess(m_process);
    m_process.start();
    m_process.waitForStarted();
}

bool HeadlessOffice::poll()
{
    if (m_loader.is())
        return true;
    // Only the office we started listens on this pipe; if it is gone,
    // nobody else may answer for it.
    if (m_process.state() == QProcess::NotRunning) {
        // A fresh profile: the office sets it up, ends and wants a restart.
        if (m_process.exitCode() == kFirstStartExit && m_relaunches++ == 0) {
            launch();
            return false;
        }
        fail(QStringLiteral("LibreOffice stopped while starting (exit code %1)").arg(m_process.exitCode()));
    }
    if (tryConnect())
        return true;
    if (m_since.hasExpired(kStartTimeoutMs))
        fail(QStringLiteral("LibreOffice did not answer"));
    return false;
}

void HeadlessOffice::waitReady()
{
    while (!poll())
        m_process.waitForFinished(100);
}

bool HeadlessOffice::isDead()
{
    if (!m_desktop.is())
        return false; // still starting: poll() finds out whether that fails
    // The system reports a killed office as ended only once all its threads
    // are gone, which takes a while after it stopped answering: the end of
    // the process alone says too late that the office is dead.
    if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(0))
        return true;
    try {
        // A round trip: a dead office, or one whose pipe is gone, cannot
        // answer it, and its bridge throws instead.
        m_desktop->getCurrentFrame();
        return false;
    } catch (const uno::Exception &) {
        return true;
    }
}

Reference<frame::XComponentLoader> HeadlessOffice::loader()
{
    waitReady();
    return m_loader;
}

bool HeadlessOffice::tryConnect()
{
    Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(m_local);
    const rtl::OUString url = toOU(QStringLiteral("uno:pipe,name=") + m_pipe
                                   + QStringLiteral(";urp;StarOffice.ComponentContext"));
    try {
        Reference<uno::XComponentContext> remote(resolver->resolve(url), UNO_QUERY_THROW);
        m_desktop = frame::Desktop::create(remote);
        m_loader.set(m_desktop, UNO_QUERY_THROW);
        m_locksOff = turnOffFileLocking(remote);
        return true;
    } catch (const connection::NoConnectException &) {
    } catch (const uno::Exception &) {
    }
    m_desktop.clear();
    return false;
}

void HeadlessOffice::fail(const QString &why)
{
    stop();
    throw OfficeError(why);
}

void HeadlessOffice::stop()
{
    // One still starting cannot be asked to end, and holds nothing yet; one
    // that cannot be asked (its pipe is gone) is not waited for either.
    bool asked = false;
    if (m_desktop.is()) {
        try {
            m_desktop->terminate();
            asked = true;
        } catch (const uno::Exception &) {
            // the office is gone, or its connection is: it is killed below
        }
        m_desktop.clear();
        m_loader.clear();
    }
    if (m_process.state() != QProcess::NotRunning && (!asked || !m_process.waitForFinished(10000))) {
        Platform::killProcessGroup(m_process.processId());
        m_process.waitForFinished(5000);
    }
}

} // namespace CalcOffice
