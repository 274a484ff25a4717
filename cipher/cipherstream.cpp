// Cipher files in chunks: the header, then the payload, over the whitening
// state and the same byte transforms, in one pass once the key repeats.
#include "cipher/cipherstream.h"

#include <cstring>

#include "base/wipe.h"

void CipherEncryptBegin(CipherStream* stream, const char sig1[SIGNATURE_FORM_SIZE],
                        const char sig2[SIGNATURE_FORM_SIZE], int mode,
                        unsigned char header[IMAGE_HEADER_SIZE])
{
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    // A key file that holds exactly the 8 bytes of Signature 1.
    EncodeSignatureBlock((const unsigned char*)sig1, SIGNATURE_FORM_SIZE, block);
    BuildImageHeader(block, mode, header);
    Wipe(block, sizeof block);
    stream->mode = mode;
    stream->kernel = BestTransformKernel();
    WhiteningBegin(&stream->whitening, sig2, WHITEN_ENCRYPT);
    WhiteningFeed(&stream->whitening, header, IMAGE_HEADER_SIZE, header);
}

static_assert((int)WHITENING_MASK_SIZE == (int)TRANSFORM_MASK_SIZE,
              "the whitening's key stream is the transform pass's mask");

// Where the key repeats, one pass; elsewhere (the first blocks of a file, a
// block cut by the chunk's ends, the counter's wrap) the steps block by block.
// The mask is key stream, wiped like the key it comes from.
static void ConvertChunk(CipherStream* stream, unsigned char* bytes, size_t count, bool decrypt)
{
    unsigned char mask[WHITENING_MASK_SIZE];
    while (count > 0) {
        size_t span = WhiteningTakeRepeatingMask(&stream->whitening, count, mask);
        if (span > 0) {
            if (decrypt)
                MaskInverseBytes(stream->kernel, stream->mode, bytes, span, mask);
            else
                TransformMaskBytes(stream->kernel, stream->mode, bytes, span, mask);
        } else {
            span = WHITENING_BLOCK_SIZE - stream->whitening.blockPosition;
            if (span > count)
                span = count;
            if (!decrypt)
                TransformBytes(stream->mode, bytes, span);
            WhiteningFeed(&stream->whitening, bytes, span, bytes);
            if (decrypt)
                InverseBytes(stream->mode, bytes, span);
        }
        bytes += span;
        count -= span;
    }
    Wipe(mask, sizeof mask);
}

void CipherEncryptChunk(CipherStream* stream, unsigned char* bytes, size_t count)
{
    ConvertChunk(stream, bytes, count, false);
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
        stream->kernel = BestTransformKernel();
    }
    Wipe(image, sizeof image);
    Wipe(decoded, sizeof decoded);
    return verdict;
}

void CipherDecryptChunk(CipherStream* stream, unsigned char* bytes, size_t count)
{
    ConvertChunk(stream, bytes, count, true);
}
