#pragma once

// A headless LibreOffice started for one fill run, and what the Calc module
// needs to talk to it through UNO. Every failure is thrown as a RunError
// or a UNO exception, which the module turns into answers at its boundary.
#include "core/fill/runcontext.h"

#include <QProcess>
#include <QString>

#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace CalcOffice {

QString fromOU(const rtl::OUString &s);
rtl::OUString toOU(const QString &s);
// A UNO exception's message, without its source location.
QString describe(const css::uno::Exception &e);
[[noreturn]] void rethrow(const css::uno::Exception &e);

// The office program folder, where soffice.bin and fundamentalrc lie;
// empty when no office is installed.
QString officeFolder();

class HeadlessOffice {
public:
    HeadlessOffice() { start(); }
    ~HeadlessOffice() { stop(); }
    HeadlessOffice(const HeadlessOffice &) = delete;
    HeadlessOffice &operator=(const HeadlessOffice &) = delete;

    css::uno::Reference<css::frame::XComponentLoader> loader() const { return m_loader; }

private:
    void start();
    void launch(const QString &folder);
    bool connect(const css::uno::Reference<css::uno::XComponentContext> &local);
    void stop();

    QProcess m_process;
    QString m_pipe;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;
    css::uno::Reference<css::frame::XComponentLoader> m_loader;
};

} // namespace CalcOffice
