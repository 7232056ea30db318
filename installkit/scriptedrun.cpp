#include "installkit/scriptedrun.h"

#include "platform/messagebox.h"

#include <QStringList>

#include <cstdio>

namespace ScriptedRun {

bool fromEnvironment()
{
    if (!qEnvironmentVariableIsSet("QLT_SCRIPTED_ANSWERS"))
        return false;
    MessageBox::setScripted(true);
    const QStringList answers = qEnvironmentVariable("QLT_SCRIPTED_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &a : answers) {
        const QString answer = a.trimmed().toLower();
        MessageBox::pushAnswer(answer == QStringLiteral("yes")  ? MessageBox::Yes
                               : answer == QStringLiteral("no") ? MessageBox::No
                                                                : MessageBox::Ok);
    }
    return true;
}

void printMessages()
{
    for (const MessageBox::Record &r : MessageBox::records())
        std::fputs((r.title + QLatin1Char('|') + r.text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

} // namespace ScriptedRun
