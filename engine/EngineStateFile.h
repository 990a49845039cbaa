#pragma once

#include <QString>

// The state file that the engine writes while it converts, read through to its end in
// bounded memory (see EngineFileLines.h), so that a result after many progress lines counts.

// The progress of a conversion: the last line that begins with "step" or "progress", read
// after its last "=" as a base-10 integer (0 when not a number). 0 when the file cannot
// be read.
int readStateFileProgress(const QString &stateFilePath);

// "filecount" and "file_0" of section "outputfiles", as last written.
struct EngineOutputFiles
{
    QString fileCount;
    QString firstFile;
};
EngineOutputFiles readStateFileOutputs(const QString &stateFilePath);
