// winwait CLASS TITLE TIMEOUT_MS [--exit ID]: waits for a visible top-level
// window and prints its screen rectangle as "x y width height"; with --exit,
// then clicks the button with that id in it (the way ./run ends a headless
// start). Exit code 0 when found, 1 when not.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: winwait CLASS TITLE TIMEOUT_MS [--exit ID]\n");
        return 2;
    }
    DWORD timeout = (DWORD)strtoul(argv[3], nullptr, 10);
    DWORD start = GetTickCount();
    HWND window = nullptr;
    while (!(window = FindWindowA(argv[1], argv[2])) || !IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeout)
            return 1;
        Sleep(50);
    }
    Sleep(500); // let it paint
    RECT r;
    GetWindowRect(window, &r);
    printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fflush(stdout);
    if (argc >= 6 && strcmp(argv[4], "--exit") == 0) {
        // Wait for a line on stdin first: the caller takes its screenshot.
        char line[16];
        fgets(line, sizeof line, stdin);
        HWND button = GetDlgItem(window, atoi(argv[5]));
        if (button)
            PostMessageA(button, BM_CLICK, 0, 0);
    }
    return 0;
}
