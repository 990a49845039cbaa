// Creates the single-instance application object, says whether another instance runs,
// then holds on until its standard input closes (or, with "--hand-off", hands off to the
// running instance and ends).
#include "QtSingleApplication.h"
#include "SecondInstanceHandOff.h"

#include <cstdio>

int main(int argc, char **argv)
{
    QtSingleApplication app(argc, argv, false);
    const bool running = app.isRunning();
    std::printf("%s\n", running ? "running" : "first");
    std::fflush(stdout);
    if (running) {
        handOffToRunningInstance();
        return 0;
    }
    while (std::getchar() != EOF) {
    }
    return 0;
}
