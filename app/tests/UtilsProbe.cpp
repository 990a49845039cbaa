// One run of Quorvane as far as its settings store and work folder go: runs the commands of
// its command line in order and prints one line for each.
//   id                    deviceId()
//   workdir               tempWorkDir(), after leaving a file in it as a conversion would
//   read:group/key        readConfigValue
//   write:group/key=value writeConfigValue, then "1" or "0"
//   limit:bytes           no file may grow past bytes from here on (a disk that is full)
//   unlimit               files may grow again
// Its application-data folder is the one named "utils_probe".
#include "FileUtils.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

QString run(const QString &command)
{
    const QString argument = command.section(QLatin1Char(':'), 1);
    if (command == QLatin1String("id"))
        return deviceId();
    if (command == QLatin1String("workdir")) {
        const QString folder = tempWorkDir();
        QFile state(folder + QStringLiteral("state"));
        state.open(QIODevice::WriteOnly);
        return folder;
    }
    if (command.startsWith(QLatin1String("read:")))
        return readConfigValue(argument);
    if (command.startsWith(QLatin1String("write:"))) {
        const QString key = argument.section(QLatin1Char('='), 0, 0);
        const QString value = argument.section(QLatin1Char('='), 1);
        return writeConfigValue(key.section(QLatin1Char('/'), 0, 0),
                                key.section(QLatin1Char('/'), 1), value)
                   ? QStringLiteral("1")
                   : QStringLiteral("0");
    }
    if (command.startsWith(QLatin1String("limit:"))) {
        limitFileSize(argument.toULongLong());
        return QString();
    }
    if (command == QLatin1String("unlimit")) {
        limitFileSize(RLIM_INFINITY);
        return QString();
    }
    return QStringLiteral("unknown command");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList commands = app.arguments().mid(1);
    for (const QString &command : commands)
        std::printf("%s\n", run(command).toUtf8().constData());
    return 0;
}
