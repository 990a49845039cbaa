// A process that only waits, for the process-list tests to find and then end: ten minutes,
// beyond every bound of a test's wait.
#include <windows.h>

int main()
{
    Sleep(600000);
    return 0;
}
