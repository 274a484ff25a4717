// Known-answer vector table and library-level helpers of the cipher tests.
#include "tests/cipher/vectors.h"

#include <cstdlib>
#include <deque>

#include "tests/support/files.h"
#include "tests/support/paths.h"
#include "tests/support/sha256.h"

#include "cipher/cipherfile.h"
#include "cipher/transform.h"
#include "cipher/whitening.h"

// The fields of the table, kept for the whole run: the rows point into them.
static std::deque<std::string> s_fields;

static const char* Keep(const std::string& field)
{
    s_fields.push_back(field);
    return s_fields.back().c_str();
}

static std::vector<CipherVector> LoadCipherVectors()
{
    std::vector<CipherVector> vectors;
    for (const std::vector<std::string>& row : ReadTable(TestDataPath("cipher/vectors.tsv"))) {
        if (row.size() < 6)
            continue;
        // Signatures are the hex of their bytes in the window program's code page.
        vectors.push_back({Keep(row[0]), Keep(BytesFromHex(row[1])), Keep(BytesFromHex(row[2])),
                           atoi(row[3].c_str()),
                           (size_t)strtoul(row[4].c_str(), nullptr, 10), Keep(row[5])});
    }
    return vectors;
}

const std::vector<CipherVector> kCipherVectors = LoadCipherVectors();
const size_t kCipherVectorCount = kCipherVectors.size();

std::string ReadCipherVector(const CipherVector& vector, bool* found)
{
    return ReadFileBytes(TestDataPath(std::string("cipher/") + vector.file), found);
}

// The vector of this file name; nullptr when there is none.
static const CipherVector* FindCipherVector(const char* file)
{
    for (const CipherVector& vector : kCipherVectors) {
        if (std::string(vector.file) == file)
            return &vector;
    }
    return nullptr;
}

std::string DecodeVectorPayload(const CipherVector& vector, bool* found)
{
    std::string cipher = ReadCipherVector(vector, found);
    if (!*found || cipher.size() < IMAGE_PAYLOAD_OFFSET)
        return std::string();
    std::string payload =
        UnwhitenWithLibrary(cipher, vector.signature2).substr(IMAGE_PAYLOAD_OFFSET);
    if (!payload.empty())
        InverseBytes(vector.mode, (unsigned char*)&payload[0], payload.size());
    return payload;
}

bool LoadCipherVector(const char* file, const CipherVector** vector, std::string* cipher,
                      std::string* payload)
{
    *vector = FindCipherVector(file);
    bool found = false;
    if (*vector != nullptr)
        *cipher = ReadCipherVector(**vector, &found);
    if (!found)
        return false;
    *payload = DecodeVectorPayload(**vector, &found);
    return found && Sha256Hex(*payload) == (*vector)->payloadSha256;
}

std::string EncryptWithLibrary(const char* signature1, const char* signature2, int mode,
                               const std::string& payload)
{
    char s1[SIGNATURE_FORM_SIZE];
    ToSignatureForm(signature1, s1);
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    EncodeSignatureBlock((const unsigned char*)s1, SIGNATURE_FORM_SIZE, block);
    unsigned char header[IMAGE_HEADER_SIZE];
    BuildImageHeader(block, mode, header);
    std::string image((const char*)header, IMAGE_HEADER_SIZE);
    for (char c : payload)
        image += (char)Transform(mode, (unsigned char)c);
    return WhitenWithLibrary(image, signature2);
}

// Both directions of the whitening pass over a whole string.
static std::string WhitenBytes(const std::string& in, const char* seed,
                               WhiteningDirection direction)
{
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(seed, form);
    WhiteningState state;
    WhiteningBegin(&state, form, direction);
    std::string out(in.size(), '\0');
    WhiteningFeed(&state, (const unsigned char*)in.data(), in.size(), (unsigned char*)&out[0]);
    return out;
}

std::string WhitenWithLibrary(const std::string& image, const char* signature2)
{
    return WhitenBytes(image, signature2, WHITEN_ENCRYPT);
}

std::string UnwhitenWithLibrary(const std::string& cipher, const char* key2)
{
    return WhitenBytes(cipher, key2, WHITEN_DECRYPT);
}
