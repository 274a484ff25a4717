// The known-answer cipher files in tests/data/cipher, written by an
// independent reference, and library-level encryption and decryption that
// the tests compare them with.
#ifndef ZORVANE_TESTS_CIPHER_VECTORS_H
#define ZORVANE_TESTS_CIPHER_VECTORS_H

#include <cstddef>
#include <string>

struct CipherVector {
    const char* file;
    const char* signature1;
    const char* signature2;
    int mode;
    size_t payloadLength;
    const char* payloadSha256;
};

extern const CipherVector kCipherVectors[];
extern const size_t kCipherVectorCount;

// Path of a file in tests/data/cipher as this build's file calls want it
// (a drive path under Wine).
std::string CipherDataPath(const char* name);
// The whole file; `found` is false when it cannot be read.
std::string ReadDataFile(const std::string& path, bool* found);
// The bytes of a known-answer cipher file; *found is false when it is missing.
std::string ReadCipherVector(const CipherVector& vector, bool* found);
// The vector of this file name; nullptr when there is none.
const CipherVector* FindCipherVector(const char* file);
// The payload a known-answer cipher file holds, decoded by the library calls
// alone (the caller checks it against payloadSha256).
std::string DecodeVectorPayload(const CipherVector& vector, bool* found);

// The cipher file of `payload` made from the library calls alone.
std::string EncryptWithLibrary(const char* signature1, const char* signature2, int mode,
                               const std::string& payload);
// A plain image whitened into a cipher file.
std::string WhitenWithLibrary(const std::string& image, const char* signature2);
// The un-whitened image of a cipher file.
std::string UnwhitenWithLibrary(const std::string& cipher, const char* key2);

#endif
