#include "tests/support/scriptedrun.h"

#include "platform/gui/messagebox.h"

#include <QStringList>

#include <cstdio>

namespace ScriptedRun {

bool fromEnvironment()
{
    if (!qEnvironmentVariableIsSet("QLT_SCRIPTED_ANSWERS"))
        return false;
    Ask::setScripted(true);
    const QStringList answers = qEnvironmentVariable("QLT_SCRIPTED_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &a : answers) {
        const QString answer = a.trimmed().toLower();
        Ask::pushAnswer(answer == QStringLiteral("yes")  ? Ask::Yes
                               : answer == QStringLiteral("no") ? Ask::No
                                                                : Ask::Ok);
    }
    return true;
}

void printMessages()
{
    for (const Ask::Record &r : Ask::records())
        std::fputs((r.title + QLatin1Char('|') + r.text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

} // namespace ScriptedRun
