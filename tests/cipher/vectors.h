// The known-answer cipher files in tests/data/cipher, written by an
// independent reference with their table vectors.tsv, and library-level
// encryption and decryption that the tests compare them with.
#ifndef ZORVANE_TESTS_CIPHER_VECTORS_H
#define ZORVANE_TESTS_CIPHER_VECTORS_H

#include <cstddef>
#include <string>
#include <vector>

struct CipherVector {
    const char* file;
    const char* signature1;
    const char* signature2;
    int mode;
    size_t payloadLength;
    const char* payloadSha256;
};

// The rows of tests/data/cipher/vectors.tsv, read once before the tests
// start; empty when the table cannot be read (the tests check the count).
extern const std::vector<CipherVector> kCipherVectors;
extern const size_t kCipherVectorCount;

// The bytes of a known-answer cipher file; *found is false when it is missing.
std::string ReadCipherVector(const CipherVector& vector, bool* found);
// The payload a known-answer cipher file holds, decoded by the library calls
// alone (the caller checks it against payloadSha256).
std::string DecodeVectorPayload(const CipherVector& vector, bool* found);
// The vector of this file name with its cipher file's bytes and its payload
// decoded; false when there is no such vector or file, or the payload is
// not the one its digest names.
bool LoadCipherVector(const char* file, const CipherVector** vector, std::string* cipher,
                      std::string* payload);

// The cipher file of `payload` made from the library calls alone.
std::string EncryptWithLibrary(const char* signature1, const char* signature2, int mode,
                               const std::string& payload);
// A plain image whitened into a cipher file.
std::string WhitenWithLibrary(const std::string& image, const char* signature2);
// The un-whitened image of a cipher file.
std::string UnwhitenWithLibrary(const std::string& cipher, const char* key2);

#endif
