// Cipher files in chunks: the header, then the payload, over the whitening
// state and the same byte transforms, a word at a time.
#include "cipher/cipherstream.h"

#include <cstring>

#include "base/wipe.h"

void CipherEncryptBegin(CipherStream* stream, const char sig1[SIGNATURE_FORM_SIZE],
                        const char sig2[SIGNATURE_FORM_SIZE], int mode,
                        unsigned char header[IMAGE_HEADER_SIZE])
{
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    // A key file that holds exactly the 8 bytes of Signature 1.
    SignatureBlockFromKeyFile((const unsigned char*)sig1, SIGNATURE_FORM_SIZE, block);
    BuildImageHeader(block, mode, header);
    Wipe(block, sizeof block);
    stream->mode = mode;
    WhiteningBegin(&stream->whitening, sig2, WHITEN_ENCRYPT);
    WhiteningFeed(&stream->whitening, header, IMAGE_HEADER_SIZE, header);
}

// Both steps run over small pieces that stay in the processor's cache.
enum { PIECE_SIZE = 4096 };

void CipherEncryptChunk(CipherStream* stream, unsigned char* bytes, size_t count)
{
    for (size_t at = 0; at < count; at += PIECE_SIZE) {
        size_t piece = count - at < (size_t)PIECE_SIZE ? count - at : (size_t)PIECE_SIZE;
        TransformBytes(stream->mode, bytes + at, piece);
        WhiteningFeed(&stream->whitening, bytes + at, piece, bytes + at);
    }
}

ImageVerdict CipherDecryptBegin(CipherStream* stream, const char key1[SIGNATURE_FORM_SIZE],
                                const char key2[SIGNATURE_FORM_SIZE],
                                const unsigned char* head, size_t headLength)
{
    unsigned char image[IMAGE_HEADER_SIZE];
    size_t length = headLength < (size_t)IMAGE_HEADER_SIZE ? headLength : (size_t)IMAGE_HEADER_SIZE;
    WhiteningBegin(&stream->whitening, key2, WHITEN_DECRYPT);
    WhiteningFeed(&stream->whitening, head, length, image);
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    DecodedBlockFromImage(image, length, decoded);
    bool matches = DecodedKeyMatches(decoded, key1);
    unsigned char mode = length == IMAGE_HEADER_SIZE ? image[IMAGE_MODE_OFFSET] : 0;
    ImageVerdict verdict = JudgeImage(matches, length, mode);
    if (verdict == IMAGE_DECRYPTABLE) {
        stream->mode = mode;
    }
    Wipe(image, sizeof image);
    Wipe(decoded, sizeof decoded);
    return verdict;
}

void CipherDecryptChunk(CipherStream* stream, unsigned char* bytes, size_t count)
{
    for (size_t at = 0; at < count; at += PIECE_SIZE) {
        size_t piece = count - at < (size_t)PIECE_SIZE ? count - at : (size_t)PIECE_SIZE;
        WhiteningFeed(&stream->whitening, bytes + at, piece, bytes + at);
        InverseBytes(stream->mode, bytes + at, piece);
    }
}
