#pragma once

#include <QMap>
#include <QString>

// Running processes whose executable file name equals exeName exactly (case-sensitive,
// file name without folder): process id -> parent process id, ordered by process id.
QMap<quint32, quint32> findProcessesByName(const QString &exeName);
