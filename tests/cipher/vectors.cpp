// Known-answer vector table and library-level helpers of the cipher tests.
#include "tests/cipher/vectors.h"

#include "tests/support/files.h"

#include <cstdio>

#include "cipher/cipherfile.h"
#include "cipher/transform.h"
#include "cipher/whitening.h"

// Printed by tests/data/cipher/make-vectors.py when it wrote the files.
const CipherVector kCipherVectors[] = {
    {"mode3-0.zel", "Alpha", "Bravo12", 3, 0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"mode3-1.zel", "Quartz", "k9 mule", 3, 1, "2017ff3461395672aa0aa4f64894fd2f95a4b120e2690e8951656d79adc2eed2"},
    {"mode3-7.zel", "seven77", "Zeta", 3, 7, "1038b6b8c7c46be82c9645699c8016df5a8d46191b0dc9966da8206eca030928"},
    {"mode3-8.zel", "x", "yy", 3, 8, "6db154493e5bb4ccbe756b3d225cfee5a96e232e8f1da762669f63729a303e09"},
    {"mode3-9.zel", "NineN", "ninen", 3, 9, "0514138479649e9bdd2fe9befb29c3323e9f206ddc9173b0c6f3fdc2cef5183a"},
    {"mode3-3000.zel", "Harbour", "Lantern", 3, 3000, "c273514206ce3497d61037e486c5f38a771a4f838be35dc014094e9b1f4a41e5"},
    {"mode0-300.zel", "Cobalt", "Ember", 0, 300, "a387721ebc7a817469dc7ee2e5467c8e1dd9407f02dd2772c7493ff19e14027c"},
    {"mode1-300.zel", "Dune", "Fjord!", 1, 300, "652a031f2952b0bcdd5ed03097994126e68590948bffdadccfda6e2ff50e0cc2"},
    {"mode2-300.zel", "Gale", "Heron", 2, 300, "7fbe01f3a50faa9f0195e233ade18cdd0d714714f21e45e14bc94eb93b8862bc"},
    {"mode4-300.zel", "Ivory", "Jasper", 4, 300, "ec14ef4c3b975a9344a363d0cb9906a6af09e4083241e066b691043ccfc17995"},
};
const size_t kCipherVectorCount = sizeof kCipherVectors / sizeof kCipherVectors[0];

std::string CipherDataPath(const char* name)
{
    std::string path = std::string(ZORVANE_TESTDATA) + "/cipher/" + name;
#ifdef _WIN32
    // Wine shows the Unix root as drive Z:.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
#endif
    return path;
}

std::string ReadDataFile(const std::string& path, bool* found)
{
    return ReadFileBytes(path, found);
}

std::string ReadCipherVector(const CipherVector& vector, bool* found)
{
    return ReadDataFile(CipherDataPath(vector.file), found);
}

const CipherVector* FindCipherVector(const char* file)
{
    for (size_t k = 0; k < kCipherVectorCount; k++) {
        if (std::string(kCipherVectors[k].file) == file)
            return &kCipherVectors[k];
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

std::string EncryptWithLibrary(const char* signature1, const char* signature2, int mode,
                               const std::string& payload)
{
    char s1[SIGNATURE_FORM_SIZE];
    ToSignatureForm(signature1, s1);
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    SignatureBlockFromKeyFile((const unsigned char*)s1, SIGNATURE_FORM_SIZE, block);
    unsigned char header[IMAGE_HEADER_SIZE];
    BuildImageHeader(block, mode, header);
    std::string image((const char*)header, IMAGE_HEADER_SIZE);
    for (char c : payload)
        image += (char)Transform(mode, (unsigned char)c);
    return WhitenWithLibrary(image, signature2);
}

std::string WhitenWithLibrary(const std::string& image, const char* signature2)
{
    char s2[SIGNATURE_FORM_SIZE];
    ToSignatureForm(signature2, s2);
    WhiteningState state;
    WhiteningBegin(&state, s2, WHITEN_ENCRYPT);
    std::string cipher(image.size(), '\0');
    WhiteningFeed(&state, (const unsigned char*)image.data(), image.size(),
                  (unsigned char*)&cipher[0]);
    return cipher;
}

std::string UnwhitenWithLibrary(const std::string& cipher, const char* key2)
{
    char k2[SIGNATURE_FORM_SIZE];
    ToSignatureForm(key2, k2);
    WhiteningState state;
    WhiteningBegin(&state, k2, WHITEN_DECRYPT);
    std::string image(cipher.size(), '\0');
    WhiteningFeed(&state, (const unsigned char*)cipher.data(), cipher.size(),
                  (unsigned char*)&image[0]);
    return image;
}
