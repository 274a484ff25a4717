// File steps the embed and extract commands share: exact reads and block
// copies of a counted length.
#ifndef ZORVANE_CARRIER_CARRIERFILES_WIN_H
#define ZORVANE_CARRIER_CARRIERFILES_WIN_H

#include <windows.h>
#include <cstdint>

#include "base/fileio_win.h"

// Reads exactly `size` bytes at `offset`; false on a failure or a short file.
BOOL ReadExactAt(HANDLE file, int64_t offset, unsigned char* buffer, DWORD size);

// Copies exactly `count` bytes from the current position of one file to
// that of the other, in large blocks; false on a failure or an early end.
// *wrote, when given, is set once a write into `to` has been tried.
BOOL CopyExact(HANDLE from, HANDLE to, int64_t count, bool* wrote = nullptr);

#endif
