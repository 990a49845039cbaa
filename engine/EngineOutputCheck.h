#pragma once

#include <QString>

// Whether the file that an engine reports as its result is the output of this very run: the
// output path it was asked to write, or one of the numbered files that an engine writes in
// its place for images and other outputs of several files ("report-1.png", "report_2.png"
// for "report.png"), in the same folder, a regular file that is not empty and was written
// since the run started. So neither a file elsewhere (say "/etc/hostname") nor a file that
// an earlier run left at the target is taken for a result.
bool isOutputOfRun(const QString &reportedPath, const QString &requestedPath,
                   qint64 runStartMsecsSinceEpoch);
