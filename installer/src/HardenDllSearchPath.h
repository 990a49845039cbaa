#pragma once

// Keeps libraries planted beside uninst or in the current folder out of the process: the
// library search is limited to the system folder, and the system libraries that the
// program and the system load by name later are loaded from there at once.
void HardenDllSearchPath();
