// The carrier subsystem's Win32 side: the embed command and the extract
// window ("Key to extract ...").
#ifndef ZORVANE_CARRIER_CARRIER_WIN_H
#define ZORVANE_CARRIER_CARRIER_WIN_H

#include <windows.h>

BOOL RegisterExtractWindowClass();
HWND OpenExtractWindow();
void RunEmbedCommand();

#endif
