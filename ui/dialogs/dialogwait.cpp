#include "ui/dialogs/dialogwait.h"

#include <QEventLoop>
#include <QPointer>

namespace {
bool g_waiting = false; // the busy mark
bool g_done = false;
QPointer<QEventLoop> g_loop;
} // namespace

void WaitForDialog()
{
    g_done = false;
    if (g_waiting)
        return;
    g_waiting = true;
    QEventLoop loop;
    g_loop = &loop;
    // The loop also ends when the whole program is asked to quit.
    if (!g_done)
        loop.exec();
    g_loop = nullptr;
    g_waiting = false;
    g_done = false;
}

void SetDialogDone()
{
    g_done = true;
    if (g_loop)
        g_loop->quit();
}
