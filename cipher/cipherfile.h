// The plain image of a cipher file (the bytes before whitening), the checks
// a decrypting turn makes on it, and the output name rule of both commands.
#ifndef ZORVANE_CIPHER_CIPHERFILE_H
#define ZORVANE_CIPHER_CIPHERFILE_H

#include <cstddef>
#include <cstdint>

#include "cipher/transform.h"

// Plain image, offsets from its first byte. The cipher file is this image
// whitened, exactly N + 33 bytes; there is no magic, version or length.
enum {
    IMAGE_SIGNATURE_OFFSET = 0, // 31 bytes: signature block of Signature 1
    IMAGE_SEPARATOR_OFFSET = 31, // 1 byte: 0x00
    IMAGE_MODE_OFFSET = 32,      // 1 byte: transform mode 0..4
    IMAGE_PAYLOAD_OFFSET = 33,   // N bytes: Transform(mode, source byte i)
    IMAGE_HEADER_SIZE = 33
};

// The 33 bytes before the payload.
void BuildImageHeader(const unsigned char block[SIGNATURE_BLOCK_SIZE], int mode,
                      unsigned char header[IMAGE_HEADER_SIZE]);

// What a decrypting turn may do with an un-whitened image. Every refusal is
// reported to the user as a wrong key and writes no payload.
enum ImageVerdict {
    IMAGE_DECRYPTABLE,
    IMAGE_WRONG_KEY,  // the key check failed
    IMAGE_TOO_SHORT,  // passed the key check but has no room for the mode byte
    IMAGE_BAD_MODE    // mode byte outside 0..4
};
// `modeByte` is byte 32 of the image; it is not looked at when imageSize < 33.
ImageVerdict JudgeImage(bool keyMatches, uint64_t imageSize, unsigned char modeByte);

// The output name: the path less its last four characters, "zel", then those
// four characters (C:\DATA\REPORT.DOC gives C:\DATA\REPORTzel.DOC). The rule
// counts characters, not dots.
enum OutputNameResult {
    OUTPUT_NAME_OK,
    OUTPUT_NAME_TOO_LONG // the name would not fit `outSize` (260: 259 characters)
};
OutputNameResult MakeOutputName(const char* path, char* out, size_t outSize);
// The same rule on a UTF-8 path, counting characters, never cutting one:
// the command-line program's form (Отчёт gives Оzelтчёт).
OutputNameResult MakeOutputNameUtf8(const char* path, char* out, size_t outSize);

#endif
