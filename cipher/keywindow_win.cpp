// The key window "Key to unlock ...": Key 1 and Key 2 fields, "OK" runs the
// decrypt command over the chosen cipher files, "Cancel" closes it.
#include "cipher/cipher_win.h"

#include "base/wipe.h"

static const char kKeyClass[] = "keyWindow";
// Window properties holding the two field handles of each key window.
static const char kKey1Prop[] = "zorvaneKey1";
static const char kKey2Prop[] = "zorvaneKey2";

enum {
    KEY_FIELD_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
    KEY_FIELD_EX = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY,
    KEY_BUTTON_STYLE = WS_CHILD | WS_VISIBLE,
    KEY_LABEL_STYLE = WS_CHILD | WS_VISIBLE
};

const ControlSpec g_keyControlTable[KEY_CONTROL_COUNT] = {
    {"Edit", "", 0, 5, 50, 200, 20, KEY_FIELD_STYLE, KEY_FIELD_EX},
    {"Edit", "", 0, 5, 90, 200, 20, KEY_FIELD_STYLE, KEY_FIELD_EX},
    {"Button", "OK", IDC_KEY_OK, 45, 150, 100, 20, KEY_BUTTON_STYLE, 0},
    {"Button", "Cancel", IDC_KEY_CANCEL, 155, 150, 100, 20, KEY_BUTTON_STYLE, 0},
    {"Static", "Key 2:", 0, 5, 70, 200, 20, KEY_LABEL_STYLE, 0},
    {"Static", "Key 1:", 0, 5, 30, 200, 20, KEY_LABEL_STYLE, 0},
};

static LRESULT OnKeyCreate(HWND window)
{
    HWND controls[KEY_CONTROL_COUNT];
    CreateControls(window, g_keyControlTable, KEY_CONTROL_COUNT, controls);
    SetPropA(window, kKey1Prop, controls[KEYCTL_KEY1]);
    SetPropA(window, kKey2Prop, controls[KEYCTL_KEY2]);
    return 0;
}

static void OnKeyOk(HWND window)
{
    if (RefuseWhileCommandRuns())
        return;
    CommandBegin(window);
    // A limit of 8 takes at most 7 characters.
    char key1[SIGNATURE_FORM_SIZE] = "";
    char key2[SIGNATURE_FORM_SIZE] = "";
    GetWindowTextA((HWND)GetPropA(window, kKey1Prop), key1, SIGNATURE_FORM_SIZE);
    GetWindowTextA((HWND)GetPropA(window, kKey2Prop), key2, SIGNATURE_FORM_SIZE);
    RunDecryptCommand(window, key1, key2);
    Wipe(key1, sizeof key1);
    Wipe(key2, sizeof key2);
    CommandEnd();
    DestroyWindow(window);
}

// Cancel button and close box. While this window's run goes on they are
// ignored: the run's end closes the window anyway.
static void OnKeyClose(HWND window)
{
    if (!IsRunningCommandWindow(window))
        DestroyWindow(window);
}

static LRESULT CALLBACK KeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnKeyCreate(window);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_KEY_OK)
            OnKeyOk(window);
        else if (LOWORD(wParam) == IDC_KEY_CANCEL)
            OnKeyClose(window);
        return 0;
    case WM_CLOSE:
        OnKeyClose(window);
        return 0;
    case WM_DESTROY:
        RemovePropA(window, kKey1Prop);
        RemovePropA(window, kKey2Prop);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterKeyWindowClass()
{
    return RegisterProgramClass(kKeyClass, KeyWindowProc, IDI_KEY_ICON);
}

HWND OpenKeyWindow()
{
    return CreateWindowExA(0, kKeyClass, kKeyTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}
