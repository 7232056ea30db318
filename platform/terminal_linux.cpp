#include "platform/terminal.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

namespace Platform {

bool isTerminal(std::FILE *stream) { return stream && isatty(fileno(stream)) == 1; }

void useOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}

} // namespace Platform
