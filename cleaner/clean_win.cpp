// zorvane-clean: removes every registry item zorvane stores (placeholder
// until the credentials land).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
