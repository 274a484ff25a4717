// The change-password window: creates the first password on the first start
// ("First time user: Create Password and keys") or replaces it ("Change
// Password"), and on the first start leads on to the signature window.
#include "credentials/credentials_win.h"

#include <cstring>

#include "base/wipe.h"

static const char kChgpassClass[] = "chgpassWindow";
static const char* const kBoxProperties[2] = {"ZorvaneNewPasswordBox", "ZorvaneConfirmBox"};

enum { NEW_BOX_INDEX = 5, CONFIRM_BOX_INDEX = 6 };

enum {
    BOX_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
    BOX_EX_STYLE = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY
};

const ControlSpec g_chgpassControlTable[CHGPASS_CONTROL_COUNT] = {
    {"Button", "Accept", IDC_CHGPASS_ACCEPT, 40, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Button", "Cancel", IDC_CHGPASS_CANCEL, 160, 150, 100, 20,
     WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0},
    {"Static", "New Password:", 0, 5, 30, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Confirm     :", 0, 5, 70, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Max. 7 characters and/or digits", 0, 5, 100, 250, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Edit", "", 0, 110, 30, 150, 20, BOX_STYLE, BOX_EX_STYLE},
    {"Edit", "", 0, 110, 70, 150, 20, BOX_STYLE, BOX_EX_STYLE},
};

HWND NewPasswordBox(HWND chgpassWindow, int which)
{
    return (HWND)GetPropA(chgpassWindow, kBoxProperties[which == 2 ? 1 : 0]);
}

static LRESULT OnChgpassCreate(HWND window)
{
    HWND controls[CHGPASS_CONTROL_COUNT];
    CreateControls(window, g_chgpassControlTable, CHGPASS_CONTROL_COUNT, controls);
    SetPropA(window, kBoxProperties[0], controls[NEW_BOX_INDEX]);
    SetPropA(window, kBoxProperties[1], controls[CONFIRM_BOX_INDEX]);
    return 0;
}

// Closes the window whatever the outcome; on the first start the signature
// window follows even when the boxes differed.
static void OnChgpassAccept(HWND window)
{
    char entered[PASSWORD_ENTRY_SIZE];
    char confirmed[PASSWORD_ENTRY_SIZE];
    GetWindowTextA(NewPasswordBox(window, 1), entered, PASSWORD_ENTRY_SIZE);
    GetWindowTextA(NewPasswordBox(window, 2), confirmed, PASSWORD_ENTRY_SIZE);
    bool same = strcmp(entered, confirmed) == 0;
    if (same) {
        char form[PASSWORD_BUFFER_SIZE];
        size_t length = BuildStoredPasswordForm(entered, form);
        WriteStoredPasswordForm(form, length);
        Wipe(form, sizeof form);
    }
    Wipe(entered, sizeof entered);
    Wipe(confirmed, sizeof confirmed);
    DestroyWindow(window);
    if (!same)
        ShowCredentialMessage(kPasswordsDifferText, kPasswordCaption);
    if (g_firstUse == 1) {
        g_firstUse = 0;
        OpenOptionWindow(OPTION_BOXES_EMPTY);
    }
}

static LRESULT CALLBACK ChgpassWindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnChgpassCreate(window);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        RemovePropA(window, kBoxProperties[0]);
        RemovePropA(window, kBoxProperties[1]);
        EndDialog(window, 0);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CHGPASS_ACCEPT)
            OnChgpassAccept(window);
        else if (LOWORD(wParam) == IDC_CHGPASS_CANCEL)
            DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterChgpassWindowClass()
{
    return RegisterProgramClass(kChgpassClass, ChgpassWindowProc, IDI_MAIN_ICON);
}

HWND OpenChgpassWindow(const char* title, HWND owner)
{
    return CreateWindowExA(0, kChgpassClass, title,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 200, 200, 300,
                           200, owner, nullptr, g_instance, nullptr);
}
