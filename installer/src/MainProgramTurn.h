#pragma once

// The main program lets go of the product before it is removed: when "Quorvane.exe" lies
// beside uninst, it is started with "-uninstall" and uninst waits until it has ended.
// Nothing is started when there is no such file (a folder of that name does not count),
// and a start that fails is passed over.
void RunMainProgramTurn();
