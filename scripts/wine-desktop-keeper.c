/* Holds the Wine session's desktop from the start of a test run to its end. Wine starts the
 * desktop's process with the first window of the session and, on a busy machine, may give up
 * waiting for it: the keeper asks again until a window of its own stands on the desktop, then
 * tells so by making the file named by its argument, and holds the desktop until the session
 * ends. */
#include <windows.h>

int main(int argc, char **argv)
{
    HWND window = NULL;
    HANDLE ready;
    if (argc < 2)
        return 2;
    while (window == NULL) {
        if (GetDesktopWindow() != NULL)
            window = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, NULL,
                                     NULL, GetModuleHandleA(NULL), NULL);
        if (window == NULL)
            Sleep(500);
    }
    ready = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
