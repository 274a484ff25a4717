// Fuzz target of the decrypt path: the input is Key 1 (7 bytes), Key 2
// (7 bytes), then a cipher file. It un-whitens, checks the key, judges the
// image and inverts the payload as the decrypt command does.
#include <cstdint>
#include <cstring>
#include <vector>

#include "cipher/cipherfile.h"
#include "cipher/transform.h"
#include "cipher/whitening.h"
#include "fuzz/check.h"

enum { KEY_TEXT_SIZE = SIGNATURE_FORM_SIZE - 1, KEYS_SIZE = 2 * KEY_TEXT_SIZE };

// A key as the key window passes it on: typed text, at most 7 characters.
static void KeyFromInput(const uint8_t* bytes, char key[SIGNATURE_FORM_SIZE])
{
    char text[SIGNATURE_FORM_SIZE];
    memcpy(text, bytes, KEY_TEXT_SIZE);
    text[KEY_TEXT_SIZE] = '\0';
    ToSignatureForm(text, key);
}

// Un-whitens in uneven chunks (the command's reads may cut the file
// anywhere) and checks the result against one call over the whole file.
static std::vector<unsigned char> Unwhiten(const unsigned char* file, size_t size,
                                           const char key2[SIGNATURE_FORM_SIZE])
{
    std::vector<unsigned char> whole(size);
    WhiteningState state;
    WhiteningBegin(&state, key2, WHITEN_DECRYPT);
    WhiteningFeed(&state, file, size, whole.data());

    std::vector<unsigned char> chunked(file, file + size);
    WhiteningBegin(&state, key2, WHITEN_DECRYPT);
    size_t at = 0;
    for (size_t cut = 0; at < size; cut++) {
        size_t length = 1 + (cut * 7 + size) % 17;
        if (length > size - at)
            length = size - at;
        WhiteningFeed(&state, chunked.data() + at, length, chunked.data() + at);
        at += length;
    }
    FUZZ_CHECK(chunked == whole);
    return whole;
}

// The cipher file the encrypt command makes of `payload` with these keys.
static std::vector<unsigned char> Encrypt(const char key1[SIGNATURE_FORM_SIZE],
                                          const char key2[SIGNATURE_FORM_SIZE], int mode,
                                          const std::vector<unsigned char>& payload)
{
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    EncodeSignatureBlock((const unsigned char*)key1, SIGNATURE_FORM_SIZE, block);
    std::vector<unsigned char> image(IMAGE_HEADER_SIZE + payload.size());
    BuildImageHeader(block, mode, image.data());
    for (size_t i = 0; i < payload.size(); i++)
        image[IMAGE_PAYLOAD_OFFSET + i] = Transform(mode, payload[i]);
    WhiteningState state;
    WhiteningBegin(&state, key2, WHITEN_ENCRYPT);
    WhiteningFeed(&state, image.data(), image.size(), image.data());
    return image;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < KEYS_SIZE)
        return 0;
    char key1[SIGNATURE_FORM_SIZE];
    char key2[SIGNATURE_FORM_SIZE];
    KeyFromInput(data, key1);
    KeyFromInput(data + KEY_TEXT_SIZE, key2);
    // libFuzzer's buffer ends exactly where the file does: a read past the
    // file's end is reported.
    const unsigned char* file = data + KEYS_SIZE;
    const size_t fileSize = size - KEYS_SIZE;

    std::vector<unsigned char> image = Unwhiten(file, fileSize, key2);
    size_t got = fileSize < IMAGE_HEADER_SIZE ? fileSize : IMAGE_HEADER_SIZE;
    std::vector<unsigned char> header(image.begin(), image.begin() + got);
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    DecodedBlockFromImage(header.data(), header.size(), decoded);
    bool matches = DecodedKeyMatches(decoded, key1);
    unsigned char mode = got > IMAGE_MODE_OFFSET ? header[IMAGE_MODE_OFFSET] : 0;
    ImageVerdict verdict = JudgeImage(matches, fileSize, mode);

    // The key check, stated independently: a typed key has 7 characters and
    // no NUL, so only an image whose first 8 bytes decode to the key and its
    // NUL passes; a shorter image cannot.
    bool expected = fileSize >= SIGNATURE_FORM_SIZE;
    for (size_t k = 0; expected && k < SIGNATURE_FORM_SIZE; k++)
        expected = Decode(image[k]) == (unsigned char)key1[k];
    FUZZ_CHECK(matches == expected);
    bool decryptable = matches && fileSize >= IMAGE_HEADER_SIZE && mode < TRANSFORM_MODE_COUNT;
    FUZZ_CHECK((verdict == IMAGE_DECRYPTABLE) == decryptable);
    if (!decryptable)
        return 0;

    std::vector<unsigned char> payload(fileSize - IMAGE_HEADER_SIZE);
    for (size_t i = 0; i < payload.size(); i++)
        payload[i] = Inverse(mode, image[IMAGE_PAYLOAD_OFFSET + i]);

    // Encrypted again with the same keys and mode, the payload gives the
    // same file, but for the image bytes the decrypt never looks at: the
    // signature block after its first 8 bytes, and the separator.
    std::vector<unsigned char> again = Encrypt(key1, key2, mode, payload);
    FUZZ_CHECK(again.size() == fileSize);
    for (size_t j = 0; j < fileSize; j++) {
        bool unchecked = j >= SIGNATURE_FORM_SIZE && j <= IMAGE_SEPARATOR_OFFSET;
        FUZZ_CHECK(unchecked || again[j] == file[j]);
    }
    return 0;
}
