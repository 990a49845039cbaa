#pragma once

#include <QString>

// Where the engines' files live, each run naming its own (see RunOwnedFiles): the temporary
// folder of each engine and the state files of conversions lie in the temp work folder, the
// state files of page counts in the folder "state" of the application-data folder.

// The temp work folder, without its closing "/".
QString engineWorkFolder();
QString pageCountStateFolder();

// A state-file path of its own for a conversion: in the temp work folder, this run's, ending
// in a new UUID text (32 hexadecimal digits).
QString newConversionStateFilePath();
// A state-file path of its own for a page count: in the page counts' state folder, this
// run's, ending in a number counted up for each. Unique also beside a second program with
// the same home. GUI thread.
QString newPageCountStateFilePath();

// At the program's start: claims both folders for this run and removes what runs that have
// ended left there (killed ones too), never what a run that goes on keeps there.
void removeEngineFilesOfEndedRuns();

// At quitting, once the engines have ended: gives up the claims on both folders when this
// run left nothing there.
void releaseEngineFolders();
