// Shared file steps of the embed and extract commands.
#include "carrier/carrierfiles_win.h"

BOOL ReadExactAt(HANDLE file, int64_t offset, unsigned char* buffer, DWORD size)
{
    if (!FileSeek(file, offset, FILE_BEGIN, nullptr))
        return FALSE;
    DWORD done = 0;
    while (done < size) {
        DWORD n = 0;
        if (!FileRead(file, buffer + done, size - done, &n) || n == 0)
            return FALSE;
        done += n;
    }
    return TRUE;
}

// One block per call pair: the copies are as fast as the disk allows, and
// the bytes written are exactly the bytes read.
static unsigned char s_copyBlock[1024 * 1024];

BOOL CopyExact(HANDLE from, HANDLE to, int64_t count, bool* wrote)
{
    while (count > 0) {
        DWORD want = count < (int64_t)sizeof s_copyBlock ? (DWORD)count : (DWORD)sizeof s_copyBlock;
        DWORD got = 0;
        if (!FileRead(from, s_copyBlock, want, &got) || got == 0)
            return FALSE;
        if (wrote)
            *wrote = true;
        if (!FileWrite(to, s_copyBlock, got))
            return FALSE;
        count -= got;
    }
    return TRUE;
}
