// A program that carries an application manifest, which zorvane must never
// do: the no-manifest check is run on it to show that it finds one.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
