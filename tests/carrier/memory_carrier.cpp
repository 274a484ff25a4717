// In-memory carriers for the pure tests. Every field is copied out of the
// file through a bounds-checked window, so a layout that points outside the
// file fails the test instead of reading stray memory.
#include "tests/carrier/memory_carrier.h"

#include <gtest/gtest.h>

#include <vector>

std::string AppendTrailer(const std::string& own, const std::string& signature,
                          const std::string& hidden, const std::string& name)
{
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(signature.c_str(), form);
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    SignatureBlockFromKeyFile((const unsigned char*)form, sizeof form, block);
    unsigned char head[TRAILER_HEAD_SIZE];
    TrailerBuildHead(block, head);
    unsigned char tail[TRAILER_TAIL_SIZE];
    EXPECT_EQ(TRAILER_OK, TrailerBuildTail((int64_t)hidden.size(), name.c_str(), tail));
    return own + std::string((const char*)head, sizeof head) + hidden +
           std::string((const char*)tail, sizeof tail);
}

// A copy of bytes [offset, offset + length) that must lie inside the file.
static bool Slice(const std::string& file, int64_t offset, int64_t length, std::string* out)
{
    if (offset < 0 || length < 0 || offset > (int64_t)file.size() ||
        length > (int64_t)file.size() - offset) {
        ADD_FAILURE() << "read outside the file: offset " << offset << " length " << length
                      << " file " << file.size();
        return false;
    }
    *out = file.substr((size_t)offset, (size_t)length);
    return true;
}

MemoryExtraction ExtractInMemory(const std::string& file, const std::string& key)
{
    MemoryExtraction result{TRAILER_FILE_TOO_SHORT, false, "", "", ""};
    int64_t length = (int64_t)file.size();
    if (!TrailerFits(length))
        return result;
    std::string tailBytes;
    if (!Slice(file, length - TRAILER_TAIL_SIZE, TRAILER_TAIL_SIZE, &tailBytes))
        return result;
    // Exact-size copies: any read past them is a fault of the code under test.
    std::vector<unsigned char> tail(tailBytes.begin(), tailBytes.end());
    char name[TRAILER_NAME_FIELD_SIZE];
    TrailerLayout layout;
    result.placed = TrailerParseTail(length, tail.data(), &layout, name);
    result.storedName = name;
    if (result.placed != TRAILER_OK)
        return result;
    std::string block;
    if (!Slice(file, layout.signatureOffset, SIGNATURE_BLOCK_SIZE, &block) ||
        !Slice(file, layout.hiddenOffset, layout.hiddenSize, &result.hidden) ||
        !Slice(file, 0, layout.ownLength, &result.remaining))
        return result;
    EXPECT_EQ(layout.sizeFieldOffset, layout.hiddenOffset + layout.hiddenSize);
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(key.c_str(), form);
    result.keyMatches = TrailerKeyMatches((const unsigned char*)block.data(), form);
    return result;
}
