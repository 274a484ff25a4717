// The busy state of the long commands: the Cancel button in place of
// Mirelock, the percentage label and bar, and the one-message pump per byte.
#include "shell/shell_win.h"

#include <commctrl.h>

volatile bool g_busy = false;
volatile bool g_cancel = false;

static MSG s_pumpMessage;

void EnterBusyState()
{
    ShowWindow(g_mainControls[CTL_CANCEL], SW_SHOW);
    ShowWindow(g_mainControls[CTL_MIRELOCK], SW_HIDE);
    ShowWindow(g_mainControls[CTL_UNVEIL], SW_HIDE);
    g_busy = true;
}

void LeaveBusyState()
{
    ShowWindow(g_mainControls[CTL_CANCEL], SW_HIDE);
    ShowWindow(g_mainControls[CTL_MIRELOCK], SW_SHOW);
    ShowWindow(g_mainControls[CTL_UNVEIL], SW_SHOW);
    g_busy = false;
}

void PumpOneMessage()
{
    // No WM_QUIT test: a quit message taken here is dispatched, which does
    // nothing, and is thereby consumed; Exit does not end a running command.
    if (PeekMessageA(&s_pumpMessage, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&s_pumpMessage);
        DispatchMessageA(&s_pumpMessage);
    }
}

void ProgressBegin(ProgressLoop* loop, uint64_t count)
{
    PercentBegin(&loop->counter, count);
    loop->lastShown = 0;
}

static void ShowPercent(int percent)
{
    char label[32];
    FormatPercentLabel(percent, label, sizeof label);
    SetWindowTextA(g_mainControls[CTL_PERCENT], label);
    SendMessageA(g_mainControls[CTL_PROGRESS], PBM_SETPOS, (WPARAM)percent, 0);
    UpdateWindow(g_mainControls[CTL_PROGRESS]);
    UpdateWindow(g_mainControls[CTL_PERCENT]);
}

bool ProgressStep(ProgressLoop* loop)
{
    int percent = PercentNext(&loop->counter);
    if (percent != loop->lastShown) {
        ShowPercent(percent);
        loop->lastShown = percent;
    }
    PumpOneMessage();
    return g_cancel;
}

void TakeCancelRequest()
{
    g_cancel = false;
}

void ProgressReset(const char* idleLabel)
{
    SetWindowTextA(g_mainControls[CTL_PERCENT], idleLabel);
    SendMessageA(g_mainControls[CTL_PROGRESS], PBM_SETPOS, 0, 0);
}
