// The extract window "Key to extract ...": a key field, "OK" runs the
// extract command, "Cancel" closes it. There is only ever one.
#include "carrier/carrier_win.h"

#include "base/wipe.h"


static const char kExtractClass[] = "ExtractWindow";
static HWND s_extractWindow = nullptr;

const ControlSpec g_extractControlTable[EXTRACT_CONTROL_COUNT] = {
    {"Edit", nullptr, 0, 5, 50, 200, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Button", "OK", IDC_EXTRACT_OK, 45, 150, 100, 20, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0},
    {"Button", "Cancel", IDC_EXTRACT_CANCEL, 155, 150, 100, 20,
     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0},
    {"Static", "Key :", 0, 5, 30, 200, 20, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
};

static LRESULT OnExtractCreate(HWND window)
{
    HWND controls[EXTRACT_CONTROL_COUNT];
    CreateControls(window, g_extractControlTable, EXTRACT_CONTROL_COUNT, controls);
    g_extractKeyField = controls[EXTRACT_KEY_FIELD];
    s_extractWindow = window;
    return 0;
}

static LRESULT OnExtractDestroy(HWND window)
{
    if (s_extractWindow == window) {
        s_extractWindow = nullptr;
        g_extractKeyField = nullptr;
    }
    return 1;
}

static void OnExtractOk(HWND window)
{
    if (RefuseWhileCommandRuns())
        return;
    CommandBegin(window);
    char text[SIGNATURE_FORM_SIZE];
    text[0] = '\0';
    GetWindowTextA(g_extractKeyField, text, sizeof text);
    RunExtractCommand(window, text);
    Wipe(text, sizeof text);
    CommandEnd();
}

// Cancel button and close box. While this window's run goes on they are
// ignored; the run itself closes the window once it reached the key check
// (one that stops on a file failure keeps it open for another try).
static void OnExtractClose(HWND window)
{
    if (!IsRunningCommandWindow(window))
        DestroyWindow(window);
}

static LRESULT OnExtractCommand(HWND window, int id)
{
    if (id == IDC_EXTRACT_CANCEL)
        OnExtractClose(window);
    else if (id == IDC_EXTRACT_OK)
        OnExtractOk(window);
    return 0;
}

static LRESULT CALLBACK ExtractWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnExtractCreate(window);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        return OnExtractDestroy(window);
    case WM_COMMAND:
        return OnExtractCommand(window, LOWORD(wParam));
    case WM_CLOSE:
        OnExtractClose(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterExtractWindowClass()
{
    return RegisterProgramClass(kExtractClass, ExtractWindowProc, IDI_KEY_ICON);
}

HWND OpenExtractWindow()
{
    if (s_extractWindow != nullptr && IsWindow(s_extractWindow)) {
        if (IsIconic(s_extractWindow))
            ShowWindow(s_extractWindow, SW_RESTORE);
        SetForegroundWindow(s_extractWindow);
        BringWindowToTop(s_extractWindow);
        return s_extractWindow;
    }
    return CreateWindowExA(0, kExtractClass, kExtractTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}
