// The signature window "Options": shows Signature 1 and Signature 2 and, on
// "OK", puts the boxes' text into the buffers and saves them.
#include "credentials/credentials_win.h"

#include <cstring>

#include "base/signatureform.h"
#include "base/wipe.h"

static const char kOptionClass[] = "optionWindow";
static const char* const kBoxProperties[2] = {"ZorvaneSignature1Box", "ZorvaneSignature2Box"};

enum { SIGNATURE1_BOX_INDEX = 5, SIGNATURE2_BOX_INDEX = 6 };

enum {
    BOX_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL,
    BOX_EX_STYLE = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY
};

const ControlSpec g_optionControlTable[OPTION_CONTROL_COUNT] = {
    {"Button", "OK", IDC_OPTION_OK, 45, 160, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Button", "Cancel", IDC_OPTION_CANCEL, 155, 160, 100, 20,
     WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0},
    {"Static", "Signature 2:", 0, 5, 70, 200, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Signature 1:", 0, 5, 30, 200, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Max. 7 characters and/or digits", 0, 5, 120, 250, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Edit", "", 0, 5, 50, 200, 20, BOX_STYLE, BOX_EX_STYLE},
    {"Edit", "", 0, 5, 90, 200, 20, BOX_STYLE, BOX_EX_STYLE},
};

HWND SignatureBox(HWND optionWindow, int which)
{
    return (HWND)GetPropA(optionWindow, kBoxProperties[which == 2 ? 1 : 0]);
}

// On the first start the buffers hold only the spaces load put there; the
// boxes open empty then, or what the user typed would land after the seventh
// character and be dropped.
static LRESULT OnOptionCreate(HWND window, const CREATESTRUCTA* create)
{
    HWND controls[OPTION_CONTROL_COUNT];
    CreateControls(window, g_optionControlTable, OPTION_CONTROL_COUNT, controls);
    SetPropA(window, kBoxProperties[0], controls[SIGNATURE1_BOX_INDEX]);
    SetPropA(window, kBoxProperties[1], controls[SIGNATURE2_BOX_INDEX]);
    OptionBoxes boxes = (OptionBoxes)(INT_PTR)create->lpCreateParams;
    if (boxes == OPTION_BOXES_SIGNATURES) {
        SetWindowTextA(controls[SIGNATURE1_BOX_INDEX], g_signature1);
        SetWindowTextA(controls[SIGNATURE2_BOX_INDEX], g_signature2);
    }
    return 0;
}

// A box gives at most seven characters; the rest of the signature is spaces.
static void ReadSignatureBox(HWND box, char signature[SIGNATURE_FORM_SIZE])
{
    char text[SIGNATURE_FORM_SIZE];
    GetWindowTextA(box, text, SIGNATURE_FORM_SIZE);
    ToSignatureForm(text, signature);
    Wipe(text, sizeof text);
}

// The typed signatures are in force from here on, whatever the save does.
// A failed save is told only once the window is gone, so that no second
// "OK" can run inside this one's message box.
static void OnOptionOk(HWND window)
{
    ReadSignatureBox(SignatureBox(window, 1), g_signature1);
    ReadSignatureBox(SignatureBox(window, 2), g_signature2);
    g_signatureState = SIGNATURES_COMPLETE;
    StoreSaveResult saved = SignatureStoreSave();
    DestroyWindow(window);
    if (saved.failed)
        ShowSaveFailure(saved);
}

static LRESULT CALLBACK OptionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnOptionCreate(window, (const CREATESTRUCTA*)lParam);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        RemovePropA(window, kBoxProperties[0]);
        RemovePropA(window, kBoxProperties[1]);
        EndDialog(window, 0);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OPTION_OK)
            OnOptionOk(window);
        else if (LOWORD(wParam) == IDC_OPTION_CANCEL)
            DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterOptionWindowClass()
{
    return RegisterProgramClass(kOptionClass, OptionWindowProc, IDI_MAIN_ICON);
}

// On the first start this may run while the main window is still being
// created (from a first-use box); it is the owner all the same.
HWND OpenOptionWindow(OptionBoxes boxes)
{
    return CreateWindowExA(0, kOptionClass, kOptionTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 300,
                           220, MainWindowAsOwner(), nullptr, g_instance,
                           (LPVOID)(INT_PTR)boxes);
}
