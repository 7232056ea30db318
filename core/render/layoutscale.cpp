#include "core/render/layoutscale.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>

qreal layoutScale(const QPaintDevice *device)
{
    int screenDpi = 100;
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        screenDpi = 96;
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        screenDpi = qRound(screen->logicalDotsPerInchY());
    return device ? device->logicalDpiY() / qreal(screenDpi) : 1.0;
}
