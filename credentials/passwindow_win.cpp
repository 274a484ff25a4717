// The password window "Password": asks for the password and, when it is
// right, opens the signature window or the change-password window.
#include "credentials/credentials_win.h"

#include <cstdio>
#include <cstring>

#include "base/wipe.h"


static const char kPassClass[] = "passWindow";
static const char kBoxProperty[] = "ZorvanePasswordBox";

enum { PASS_BOX_INDEX = 3 };

const ControlSpec g_passControlTable[PASS_CONTROL_COUNT] = {
    {"Button", "Confirm", IDC_PASS_CONFIRM, 45, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Button", "Cancel", IDC_PASS_CANCEL, 155, 150, 100, 20,
     WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0},
    {"Static", "Password:", 0, 5, 30, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Edit", "", 0, 5, 50, 200, 20, WS_CHILD | WS_VISIBLE | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
};

HWND PasswordBox(HWND passWindow)
{
    return (HWND)GetPropA(passWindow, kBoxProperty);
}

// The system's description of why the password key cannot be opened.
static void ShowCannotOpen(LONG code)
{
    char text[256];
    if (!SystemErrorText(code, text, COUNTOF(text)))
        snprintf(text, sizeof text, "The password store cannot be opened (error %ld).", code);
    ShowCredentialMessage(text, kCannotOpenCaption);
}

// The stored-form buffer is reloaded here and only here, so a password
// changed in this run counts from the next password window on.
static LRESULT OnPassCreate(HWND window)
{
    HWND controls[PASS_CONTROL_COUNT];
    CreateControls(window, g_passControlTable, PASS_CONTROL_COUNT, controls);
    SetPropA(window, kBoxProperty, controls[PASS_BOX_INDEX]);
    if (!ReadStoredPasswordForm(g_storedPasswordForm))
        ShowCannotOpen((LONG)GetLastError());
    return 0;
}

static void OnPassConfirm(HWND window)
{
    char entry[PASSWORD_ENTRY_SIZE];
    GetWindowTextA(PasswordBox(window), entry, PASSWORD_ENTRY_SIZE);
    g_passwordAccepted = PasswordMatches(entry, g_storedPasswordForm) ? 1 : 0;
    Wipe(entry, sizeof entry);
    DestroyWindow(window);
    if (!g_passwordAccepted)
        ShowCredentialMessage(kInvalidPasswordText, kPasswordCaption);
    else if (g_changePassword == PASSWORD_TO_SIGNATURES)
        OpenOptionWindow(OPTION_BOXES_SIGNATURES);
    else
        OpenChgpassWindow(kChangePasswordTitle, g_mainWindow);
}

static LRESULT CALLBACK PassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnPassCreate(window);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        RemovePropA(window, kBoxProperty);
        EndDialog(window, 0);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PASS_CONFIRM)
            OnPassConfirm(window);
        else if (LOWORD(wParam) == IDC_PASS_CANCEL)
            DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterPassWindowClass()
{
    return RegisterProgramClass(kPassClass, PassWindowProc, IDI_MAIN_ICON);
}

HWND OpenPasswordWindow(PasswordLeadsTo leadsTo)
{
    g_passwordAccepted = 0;
    g_changePassword = leadsTo;
    return CreateWindowExA(0, kPassClass, kPasswordTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}
