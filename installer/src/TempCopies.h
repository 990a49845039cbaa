#pragma once

#include <optional>
#include <string>

// The copies that stage one makes in the private temp folder and stage two runs.

// The private temp folder, asked afresh each time; nothing when it cannot be had.
std::optional<std::wstring> PrivateTempFolder();

// Copies a file into the temp folder under copyName. An earlier run's copy goes first, even
// when there is nothing to copy now, so that only this run's copies can ever run.
bool CopyIntoTemp(const std::wstring &source, const wchar_t *copyName);

// Whether the temp folder holds a file of that name.
bool TempCopyExists(const wchar_t *copyName);

// The end of a stage two that runs from the temp folder: removes the silent uninstaller's
// copy beside it, and the installer's unless the user started it. The running program's own
// copy stays; the next stage one replaces it. Elsewhere nothing is removed: files beside a
// program run from another folder are not this run's copies.
void RemoveTempCopiesBesideProgram(bool installerStarted);
