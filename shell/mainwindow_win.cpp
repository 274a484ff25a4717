// The main window "Zorvane V1.30": its control table, its window procedure
// and the command dispatch, plus start-up's main loop.
#include "shell/shell_win.h"

#include <commctrl.h>

#include "shell/messages.h"

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "credentials/credentials_win.h"

static const char kMainClass[] = "clsWindow";

enum {
    BUTTON_STYLE = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER,
    LINE_STYLE = WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL,
    BOXED_LINE_STYLE = WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_MULTILINE | ES_AUTOHSCROLL,
    BOXED_LINE_EX = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY
};

const ControlSpec g_mainControlTable[MAIN_CONTROL_COUNT] = {
    {"Button", "Mirelock", IDC_MAIN_MIRELOCK, 410, 10, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Unveil", IDC_MAIN_UNVEIL, 410, 60, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Signature", IDC_MAIN_SIGNATURE, 520, 10, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Password", IDC_MAIN_PASSWORD, 520, 60, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Exit", IDC_MAIN_EXIT, 520, 110, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Embed", IDC_MAIN_EMBED, 410, 110, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Extract", IDC_MAIN_EXTRACT, 410, 160, 100, 40, BUTTON_STYLE, 0},
    {"Button", "About...", IDC_MAIN_ABOUT, 520, 160, 100, 40, BUTTON_STYLE, 0},
    {"Button", "Cancel", IDC_MAIN_CANCEL, 410, 10, 100, 40, WS_CHILD | BS_PUSHBUTTON, 0},
    {"msctls_progress32", nullptr, 0, 5, 120, 200, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "0 % complete", 0, 5, 140, 200, 20, WS_CHILD | WS_VISIBLE | SS_CENTER, 0},
    {"Edit", "", 0, 5, 70, 400, 20, LINE_STYLE, 0},
    {"Edit", "", 0, 5, 30, 400, 20, LINE_STYLE, 0},
    {"Edit", "", 0, 5, 50, 400, 20, BOXED_LINE_STYLE, BOXED_LINE_EX},
    {"Edit", "", 0, 5, 90, 400, 20, BOXED_LINE_STYLE, BOXED_LINE_EX},
};

static LRESULT OnMainCreate(HWND window)
{
    CreateControls(window, g_mainControlTable, MAIN_CONTROL_COUNT, g_mainControls);
    SendMessageA(g_mainControls[CTL_PROGRESS], PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    if (!RegisterSecondaryClasses())
        return 0;
    SetMainWindowInCreation(window);
    SignatureStoreLoad();
    SetMainWindowInCreation(nullptr);
    g_transformMode = 3;
    return 0;
}

// The two commands that lock files with the program's signatures.
enum SignedCommand { SIGNED_ENCRYPT, SIGNED_EMBED };

// Mirelock and Embed start here, as commands of the main window: one command
// at a time, and only with the signatures the user set, which they are
// handed from the credentials.
static void RunSignedCommand(SignedCommand command)
{
    if (RefuseWhileCommandRuns())
        return;
    CommandBegin(g_mainWindow);
    if (!RefuseWhileSignaturesIncomplete()) {
        if (command == SIGNED_ENCRYPT)
            RunEncryptCommand(g_signature1, g_signature2);
        else
            RunEmbedCommand(g_signature1);
    }
    CommandEnd();
}

static void OnMainCommand(int id)
{
    switch (id) {
    case IDC_MAIN_MIRELOCK:
        RunSignedCommand(SIGNED_ENCRYPT);
        break;
    case IDC_MAIN_UNVEIL:
        OpenKeyWindow();
        break;
    case IDC_MAIN_CANCEL:
        g_cancel = true;
        break;
    case IDC_MAIN_SIGNATURE:
        OpenPasswordWindow(PASSWORD_TO_SIGNATURES);
        break;
    case IDC_MAIN_PASSWORD:
        OpenPasswordWindow(PASSWORD_TO_NEW_PASSWORD);
        break;
    case IDC_MAIN_EMBED:
        RunSignedCommand(SIGNED_EMBED);
        break;
    case IDC_MAIN_EXTRACT:
        OpenExtractWindow();
        break;
    case IDC_MAIN_ABOUT:
        OpenAboutWindow();
        break;
    case IDC_MAIN_EXIT:
        PostQuitMessage(0);
        break;
    }
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnMainCreate(window);
    case WM_COMMAND:
        OnMainCommand(LOWORD(wParam));
        return 0;
    case WM_PAINT:
        return PaintNothing(window);
    case WM_CLOSE:
        if (g_busy)
            return 0;
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterMainWindowClass()
{
    return RegisterProgramClass(kMainClass, MainWindowProc, IDI_MAIN_ICON);
}

HWND CreateMainWindow()
{
    return CreateWindowExA(0, kMainClass, kMainTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 630, 345,
                           nullptr, nullptr, g_instance, nullptr);
}

void IdleHook()
{
}

int RunMainLoop()
{
    MSG message;
    while (true) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            // Nothing queued: sleep until something arrives instead of
            // spinning a whole core.
            IdleHook();
            WaitMessage();
            continue;
        }
        IdleHook();
    }
    IdleHook();
    return (int)message.wParam;
}
