// A cipher file made or read as a stream, in chunks of any size, with
// nothing but the running state in memory: zorvane-cli's file commands and
// its built-in self test run the very same code.
#ifndef ZORVANE_CIPHER_CIPHERSTREAM_H
#define ZORVANE_CIPHER_CIPHERSTREAM_H

#include <cstddef>
#include <cstdint>

#include "cipher/cipherfile.h"
#include "cipher/transform.h"
#include "cipher/whitening.h"

struct CipherStream {
    WhiteningState whitening;
    int mode;                 // the file's transform mode, once known
    TransformKernel kernel;   // how the payload is worked, once the key repeats
};

// Starts a cipher file for Signature 1 and Signature 2 (signature form) in
// `mode`; `header` receives the first 33 bytes of the file, already whitened.
void CipherEncryptBegin(CipherStream* stream, const char sig1[SIGNATURE_FORM_SIZE],
                        const char sig2[SIGNATURE_FORM_SIZE], int mode,
                        unsigned char header[IMAGE_HEADER_SIZE]);

// Turns `count` source bytes into cipher bytes, in place: the transform and
// the whitening in one pass wherever the key repeats (the bulk of a file),
// the two steps one after the other for the few blocks before. Both chunk
// functions give the same bytes whatever the chunks and the kernel.
void CipherEncryptChunk(CipherStream* stream, unsigned char* bytes, size_t count);

// Judges the start of a cipher file: `head` holds its first `headLength`
// bytes (33, or fewer when the file is that short). Keys in signature form.
// On IMAGE_DECRYPTABLE the stream is ready for the payload that follows.
ImageVerdict CipherDecryptBegin(CipherStream* stream, const char key1[SIGNATURE_FORM_SIZE],
                                const char key2[SIGNATURE_FORM_SIZE],
                                const unsigned char* head, size_t headLength);

// Turns `count` payload bytes of the cipher file into plain bytes, in place.
void CipherDecryptChunk(CipherStream* stream, unsigned char* bytes, size_t count);

#endif
