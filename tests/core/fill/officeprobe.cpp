// A program that starts an office session ahead and then only waits, so a
// test can kill it and see whether its office goes with it.
#include "core/fill/officesession.h"
#include "tests/support/calcmodule.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    OfficeSession session;
    QObject::connect(&session, &OfficeSession::settled, [&session] {
        std::puts(session.isReady() ? "ready" : "failed");
        std::fflush(stdout);
    });
    session.startAhead();
    return app.exec();
}
