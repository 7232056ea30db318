#pragma once

// A headless LibreOffice started for one fill run, and what the Calc module
// needs to talk to it through UNO. Every failure is thrown as an OfficeError
// or a UNO exception, which the module turns into answers at its boundary.
#include <exception>

#include <QElapsedTimer>
#include <QProcess>
#include <QString>

#include "core/fill/calc/unohelpers.h"

#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// A failure inside the module, with the description its answer carries.
// It never leaves the module.
struct OfficeError : std::exception {
    explicit OfficeError(QString what) : description(std::move(what)), m_what(description.toLocal8Bit()) {}
    const char *what() const noexcept override { return m_what.constData(); }
    QString description;

private:
    QByteArray m_what;
};

namespace CalcOffice {

// A UNO exception's message, without its source location.
QString describe(const css::uno::Exception &e);
[[noreturn]] void rethrow(const css::uno::Exception &e);

// The file loaded hidden and with no macro ever run; possibly null. Throws
// when it is missing. Read-only unless `editable`: an office that locks
// files would leave a lock file beside the user's file.
css::uno::Reference<css::lang::XComponent> loadHidden(const css::uno::Reference<css::frame::XComponentLoader> &loader,
                                                      const QString &path, bool editable = false);

// The office program folder, where soffice.bin and fundamentalrc lie;
// empty when no office is installed.
QString officeFolder();

// Launched by the constructor, which does not wait for it; poll() or
// waitReady() connect once it listens.
class HeadlessOffice {
public:
    HeadlessOffice();
    ~HeadlessOffice() { stop(); }
    HeadlessOffice(const HeadlessOffice &) = delete;
    HeadlessOffice &operator=(const HeadlessOffice &) = delete;

    // One look, without blocking: true once connected. Throws when the
    // office stopped or did not answer in time.
    bool poll();
    void waitReady();
    // True when the office answered once and does no more: it crashed, was
    // killed, or its pipe is gone. Asked over the connection, since a killed
    // office stops answering well before the system tells us it ended.
    bool isDead();
    css::uno::Reference<css::frame::XComponentLoader> loader();
    // Whether documents may be loaded editable: the office was told to lock
    // no file it opens (the fill holds a lock of its own). A document loaded
    // read-only takes new text but refuses to have a cell emptied.
    bool editsWithoutLocks() const { return m_locksOff; }

    // Offices started by this module so far (a restart on a fresh profile
    // is the same office).
    static int started();

private:
    void launch();
    bool tryConnect();
    [[noreturn]] void fail(const QString &why);
    void stop();

    QProcess m_process;
    QString m_folder;
    QString m_pipe;
    QElapsedTimer m_since;
    int m_relaunches = 0;
    bool m_locksOff = false;
    css::uno::Reference<css::uno::XComponentContext> m_local;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    css::uno::Reference<css::frame::XComponentLoader> m_loader;
};

} // namespace CalcOffice
