#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the utilities probe beside the test (one run of the program) with commands and returns
// its output lines, or {"probe failed"}.
inline QStringList
runUtilsProbe(const QStringList &commands,
              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/utils_probe"), commands);
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return {QStringLiteral("probe failed")};
    QString output = QString::fromUtf8(probe.readAllStandardOutput());
    output.chop(1);
    return output.split(QLatin1Char('\n'));
}
