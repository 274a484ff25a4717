// Plain image header, decrypt verdicts and the output name rule.
#include "cipher/cipherfile.h"

#include <cstring>

#include "base/pathname.h"

static const char kMarker[] = "zel";
enum { MARKER_LENGTH = 3, TAIL_LENGTH = 4 };

void BuildImageHeader(const unsigned char block[SIGNATURE_BLOCK_SIZE], int mode,
                      unsigned char header[IMAGE_HEADER_SIZE])
{
    memcpy(header + IMAGE_SIGNATURE_OFFSET, block, SIGNATURE_BLOCK_SIZE);
    header[IMAGE_SEPARATOR_OFFSET] = 0x00;
    header[IMAGE_MODE_OFFSET] = (unsigned char)mode;
}

ImageVerdict JudgeImage(bool keyMatches, uint64_t imageSize, unsigned char modeByte)
{
    if (!keyMatches)
        return IMAGE_WRONG_KEY;
    // 8 to 32 bytes can pass the key check; their payload length would be
    // negative.
    if (imageSize < IMAGE_HEADER_SIZE)
        return IMAGE_TOO_SHORT;
    if (modeByte >= TRANSFORM_MODE_COUNT)
        return IMAGE_BAD_MODE;
    return IMAGE_DECRYPTABLE;
}

// Puts the marker before byte `at` of the path, never before its file name.
static OutputNameResult InsertMarker(const char* path, size_t at, char* out, size_t outSize)
{
    size_t length = strlen(path);
    if (length + MARKER_LENGTH + 1 > outSize) {
        if (outSize > 0)
            out[0] = '\0';
        return OUTPUT_NAME_TOO_LONG;
    }
    // Counted from the end, the marker would land inside the folder part
    // when the file name has fewer than four characters (C:\DATA\AB would
    // give C:\DATzelA\AB, a file in another folder, or C:\A would give
    // zelC:\A). It never goes before the file name: C:\DATA\AB gives
    // C:\DATA\zelAB. Names of four characters and more follow the rule.
    size_t nameStart = (size_t)(LastPathComponent(path) - path);
    if (at < nameStart)
        at = nameStart;
    memcpy(out, path, at);
    memcpy(out + at, kMarker, MARKER_LENGTH);
    memcpy(out + at + MARKER_LENGTH, path + at, length - at + 1);
    return OUTPUT_NAME_OK;
}

OutputNameResult MakeOutputName(const char* path, char* out, size_t outSize)
{
    size_t length = strlen(path);
    return InsertMarker(path, length >= TAIL_LENGTH ? length - TAIL_LENGTH : 0, out, outSize);
}

OutputNameResult MakeOutputNameUtf8(const char* path, char* out, size_t outSize)
{
    // Back over four characters: a byte 10xxxxxx continues the character
    // before it, up to three of them. Bytes that are not UTF-8 count one each.
    size_t at = strlen(path);
    for (int k = 0; k < TAIL_LENGTH && at > 0; k++) {
        at--;
        for (int more = 0; more < 3 && at > 0 && ((unsigned char)path[at] & 0xC0) == 0x80; more++)
            at--;
    }
    return InsertMarker(path, at, out, outSize);
}
