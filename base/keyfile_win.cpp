// The temporary key file "tmpKeyOut.txt" through which signature blocks are
// made and key checks read back; each use creates it empty and deletes it.
#include "base/keyfile_win.h"

#include "base/fileio_win.h"
#include "base/wipe.h"

const char kKeyFileName[] = "tmpKeyOut.txt";

// Writes `bytes`, then reads the file back from its start into `back`
// (at most backSize bytes); *got is the count read. The file is deleted.
static BOOL ThroughKeyFile(const unsigned char* bytes, DWORD count, unsigned char* back,
                           DWORD backSize, DWORD* got)
{
    *got = 0;
    HANDLE file = FileCreateHiddenEmpty(kKeyFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok = FileWrite(file, bytes, count) && FileSeek(file, 0, FILE_BEGIN, nullptr);
    while (ok && *got < backSize) {
        DWORD n = 0;
        ok = FileRead(file, back + *got, backSize - *got, &n);
        if (n == 0)
            break;
        *got += n;
    }
    DWORD error = GetLastError();
    FileClose(file);
    FileDelete(kKeyFileName);
    SetLastError(error);
    return ok;
}

bool PicksStagingFile(const char* path, const char* const* names, size_t count)
{
    for (size_t k = 0; k < count; k++) {
        if (FileSamePath(path, names[k]))
            return true;
    }
    return false;
}

BOOL MakeSignatureBlockThroughKeyFile(const char signature[SIGNATURE_FORM_SIZE],
                        unsigned char block[SIGNATURE_BLOCK_SIZE])
{
    // The block walk reads one byte past each of the 31 it emits.
    unsigned char keyFile[SIGNATURE_BLOCK_SIZE + 1];
    DWORD got = 0;
    if (!ThroughKeyFile((const unsigned char*)signature, SIGNATURE_FORM_SIZE, keyFile,
                        sizeof keyFile, &got))
        return FALSE;
    EncodeSignatureBlock(keyFile, got, block);
    Wipe(keyFile, sizeof keyFile);
    return TRUE;
}

BOOL CheckKeyThroughKeyFile(const unsigned char decoded[SIGNATURE_BLOCK_SIZE],
                            const char key[SIGNATURE_FORM_SIZE], bool* matches)
{
    unsigned char back[SIGNATURE_FORM_SIZE];
    DWORD got = 0;
    *matches = false;
    if (!ThroughKeyFile(decoded, SIGNATURE_BLOCK_SIZE, back, sizeof back, &got))
        return FALSE;
    *matches = got == SIGNATURE_FORM_SIZE && DecodedKeyMatches(back, key);
    Wipe(back, sizeof back);
    return TRUE;
}
