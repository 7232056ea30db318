#include "platform/gui/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace Screen {

namespace {
double dpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double d = screen ? screen->logicalDotsPerInchY() : 96.0;
    return d > 0 ? d : 96.0;
}
} // namespace

int twips(int twipValue) { return static_cast<int>(std::lround(twipValue * dpi() / 1440.0)); }

int toTwips(int pixels) { return static_cast<int>(std::lround(pixels * 1440.0 / dpi())); }

QSize size()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

void centreForm(QWidget *window)
{
    if (!window)
        return;
    const QSize screen = size();
    const QSize frame = window->frameGeometry().size();
    const int left = std::max(0, (screen.width() - frame.width()) / 2);
    const int top = std::max(0, (screen.height() - frame.height()) / 2);
    window->move(left, top);
}

} // namespace Screen
