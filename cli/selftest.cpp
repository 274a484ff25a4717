// `zorvane-cli selftest`: decrypts and re-encrypts the known-answer cipher
// files built into the program, and takes apart and rebuilds its carriers,
// through the same streaming code the file commands use.
#include <cstdio>
#include <cstring>

#include "carrier/trailer.h"
#include "cli/commands.h"
#include "cipher/cipherstream.h"

struct SelfTestCipherVector {
    const char* name;
    const char* sig1;
    const char* sig2;
    const unsigned char* bytes;
    size_t size;
};

struct SelfTestCarrierVector {
    const char* name;
    const char* key;
    long hiddenSize;
    const unsigned char* bytes;
    size_t size;
};

#include "selftest_vectors.h"

enum { SELFTEST_MAX = 4096, SELFTEST_CHUNK = 7 };

static unsigned char g_plain[SELFTEST_MAX];
static unsigned char g_again[SELFTEST_MAX];

// Odd chunks, so a fault in carrying the state from one chunk to the next shows.
static void InChunks(CipherStream* stream, unsigned char* bytes, size_t count,
                     void (*convert)(CipherStream*, unsigned char*, size_t))
{
    for (size_t at = 0; at < count; at += SELFTEST_CHUNK)
        convert(stream, bytes + at, count - at < (size_t)SELFTEST_CHUNK ? count - at : (size_t)SELFTEST_CHUNK);
}

static const char* CheckCipher(const SelfTestCipherVector& vector)
{
    char sig1[SIGNATURE_FORM_SIZE], sig2[SIGNATURE_FORM_SIZE], other[SIGNATURE_FORM_SIZE];
    ToSignatureForm(vector.sig1, sig1);
    ToSignatureForm(vector.sig2, sig2);
    ToSignatureForm("wrong", other);
    if (vector.size < IMAGE_HEADER_SIZE || vector.size > SELFTEST_MAX)
        return "vector of a bad size";
    CipherStream stream;
    if (CipherDecryptBegin(&stream, other, sig2, vector.bytes, vector.size) != IMAGE_WRONG_KEY ||
        CipherDecryptBegin(&stream, sig1, other, vector.bytes, vector.size) != IMAGE_WRONG_KEY)
        return "a wrong key was accepted";
    if (CipherDecryptBegin(&stream, sig1, sig2, vector.bytes, vector.size) != IMAGE_DECRYPTABLE)
        return "the right keys were refused";
    size_t payload = vector.size - IMAGE_HEADER_SIZE;
    memcpy(g_plain, vector.bytes + IMAGE_HEADER_SIZE, payload);
    InChunks(&stream, g_plain, payload, CipherDecryptChunk);
    // The payload in one piece must give the same bytes; otherwise a pass
    // that changed nothing at all would still make the round trip below.
    CipherStream whole;
    CipherDecryptBegin(&whole, sig1, sig2, vector.bytes, vector.size);
    memcpy(g_again, vector.bytes + IMAGE_HEADER_SIZE, payload);
    CipherDecryptChunk(&whole, g_again, payload);
    if (memcmp(g_again, g_plain, payload) != 0)
        return "decrypting in pieces differs";
    // Re-encrypting the plain bytes in the file's own mode must give the file.
    unsigned char header[IMAGE_HEADER_SIZE];
    CipherEncryptBegin(&stream, sig1, sig2, stream.mode, header);
    if (memcmp(header, vector.bytes, IMAGE_HEADER_SIZE) != 0)
        return "re-encrypted header differs";
    memcpy(g_again, g_plain, payload);
    InChunks(&stream, g_again, payload, CipherEncryptChunk);
    if (memcmp(g_again, vector.bytes + IMAGE_HEADER_SIZE, payload) != 0)
        return "re-encrypted payload differs";
    return nullptr;
}

static const char* CheckCarrier(const SelfTestCarrierVector& vector)
{
    CarrierBytes bytes = {vector.bytes, vector.size};
    TrailerSource source = TrailerSourceOfBytes(&bytes);
    TrailerLayout layout;
    char name[TRAILER_NAME_FIELD_SIZE];
    TrailerError found = TrailerFindLast(source, &layout, name);
    if (found == TRAILER_FILE_TOO_SHORT)
        return "vector of a bad size";
    if (found != TRAILER_OK)
        return "trailer not found";
    if (layout.hiddenSize != vector.hiddenSize)
        return "wrong hidden size";
    char key[SIGNATURE_FORM_SIZE], other[SIGNATURE_FORM_SIZE];
    ToSignatureForm(vector.key, key);
    ToSignatureForm("wrong", other);
    if (TrailerCheckKey(source, layout, key) != TRAILER_OK)
        return "the right key was refused";
    if (TrailerCheckKey(source, layout, other) != TRAILER_WRONG_KEY)
        return "a wrong key was accepted";
    // The trailer embed would write for the same key, hidden bytes and name.
    unsigned char block[SIGNATURE_BLOCK_SIZE], head[TRAILER_HEAD_SIZE], tail[TRAILER_TAIL_SIZE];
    EncodeSignatureBlock((const unsigned char*)key, SIGNATURE_FORM_SIZE, block);
    if (TrailerBuild(block, layout.hiddenSize, name, head, tail) != TRAILER_OK)
        return "stored name or size cannot be stored again";
    if (memcmp(head, vector.bytes + layout.signatureOffset, sizeof head) != 0 ||
        memcmp(tail, vector.bytes + layout.sizeFieldOffset, sizeof tail) != 0)
        return "rebuilt trailer differs";
    return nullptr;
}

int RunSelfTest()
{
    int failures = 0;
    int count = 0;
    for (const SelfTestCipherVector& vector : kCipherVectors) {
        const char* fault = CheckCipher(vector);
        printf("%-20s %s\n", vector.name, fault ? fault : "ok");
        failures += fault != nullptr;
        count++;
    }
    for (const SelfTestCarrierVector& vector : kCarrierVectors) {
        const char* fault = CheckCarrier(vector);
        printf("%-20s %s\n", vector.name, fault ? fault : "ok");
        failures += fault != nullptr;
        count++;
    }
    if (failures > 0) {
        fprintf(stderr, "zorvane-cli: selftest: %d of %d vectors failed\n", failures, count);
        return CLI_EXIT_FILE;
    }
    printf("selftest: all %d vectors passed\n", count);
    return CLI_EXIT_OK;
}
