// A process that only waits, for the process-list tests to find and then end.
#include <windows.h>

int main()
{
    Sleep(60000);
    return 0;
}
