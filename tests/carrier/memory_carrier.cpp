// In-memory carriers for the pure tests, built and read by the trailer walk
// itself over the bytes: a read the walk places outside the file fails the
// test instead of reading stray memory.
#include "tests/carrier/memory_carrier.h"

#include <gtest/gtest.h>

std::string AppendTrailer(const std::string& own, const std::string& signature,
                          const std::string& hidden, const std::string& name)
{
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(signature.c_str(), form);
    unsigned char block[SIGNATURE_BLOCK_SIZE], head[TRAILER_HEAD_SIZE], tail[TRAILER_TAIL_SIZE];
    EncodeSignatureBlock((const unsigned char*)form, sizeof form, block);
    EXPECT_EQ(TRAILER_OK, TrailerBuild(block, (int64_t)hidden.size(), name.c_str(), head, tail));
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
    CarrierBytes carrier = {(const unsigned char*)file.data(), file.size()};
    char form[SIGNATURE_FORM_SIZE], name[TRAILER_NAME_FIELD_SIZE];
    ToSignatureForm(key.c_str(), form);
    TrailerLayout layout;
    TrailerError opened = TrailerOpenLast(TrailerSourceOfBytes(&carrier), form, &layout, name);
    EXPECT_NE(TRAILER_READ_FAILED, opened) << "read outside the file of " << file.size();
    MemoryExtraction result{opened == TRAILER_WRONG_KEY ? TRAILER_OK : opened,
                            opened == TRAILER_OK, "", "", name};
    if (result.placed == TRAILER_OK) {
        EXPECT_EQ(layout.sizeFieldOffset, layout.hiddenOffset + layout.hiddenSize);
        if (!Slice(file, layout.hiddenOffset, layout.hiddenSize, &result.hidden) ||
            !Slice(file, 0, layout.ownLength, &result.remaining))
            result.keyMatches = false;
    }
    return result;
}
