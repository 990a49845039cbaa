#pragma once

class AppState;

// Stage one: copies the product installer, the silent uninstaller and uninst itself into the
// private temp folder, in place of any earlier run's copies, and starts the copy of uninst
// there with "-instdir" set to uninst's folder, followed by the arguments uninst was given.
// Without a copy of the silent uninstaller the user is asked whether to go on; without a copy
// of uninst the user is told. The result is the exit code of stage one: 0, or -1 when the user
// stops there or there is no copy to start.
int RelaunchFromTemp(const AppState &state);
