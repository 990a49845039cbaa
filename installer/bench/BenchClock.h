#pragma once

// Clocks of the start-up measurements, the same for every program measured.

// Milliseconds since this process was created (as the system recorded its creation).
double MillisecondsSinceProcessStart();

// Prints "first-frame-ms <milliseconds since the process was created>" to standard output.
void ReportFirstFrame();
