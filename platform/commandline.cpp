#include "platform/commandline.h"

#include "version.h"

#include <QStringList>

#include <cstdio>

namespace CommandLine {

namespace {
void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

QString usage(const QString &program, const QString &description)
{
    return QStringLiteral("Usage: ") + program + QStringLiteral(" [--help | --version]\n\n") + description
           + QStringLiteral("\n\nOptions:\n  --help     show this text and exit\n"
                            "  --version  show the version and exit\n");
}
} // namespace

int helpOrVersion(int argc, char *argv[], const QString &program, const QString &description)
{
    if (argc != 2)
        return -1;
    const QString only = QString::fromLocal8Bit(argv[1]);
    if (only == QStringLiteral("--help")) {
        print(stdout, usage(program, description));
        return 0;
    }
    if (only == QStringLiteral("--version")) {
        print(stdout, program + QStringLiteral(" (Quillmate) ") + QStringLiteral(QLT_VERSION_STRING) + QLatin1Char('\n'));
        return 0;
    }
    return -1;
}

int handle(int argc, char *argv[], const QString &program, const QString &description)
{
    if (argc <= 1)
        return -1;
    const int shown = helpOrVersion(argc, argv, program, description);
    if (shown >= 0)
        return shown;
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    print(stderr, program + QStringLiteral(": unknown argument: ") + given.join(QLatin1Char(' ')) + QStringLiteral("\n")
                      + usage(program, description));
    return 2;
}

} // namespace CommandLine
