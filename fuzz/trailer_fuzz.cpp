// Fuzz target of the carrier trailer reader: the input is a whole carrier.
// It reads the last trailer as the extract command does and checks that
// every located field lies inside the file and that the reading is stable.
#include <cstdint>
#include <cstring>

#include "carrier/trailer.h"
#include "fuzz/check.h"

// Every field the layout places must lie inside the file, in trailer order.
static void CheckLayoutInside(const TrailerLayout& layout, int64_t fileLength)
{
    FUZZ_CHECK(layout.hiddenSize >= 0);
    FUZZ_CHECK(layout.hiddenSize <= fileLength - TRAILER_FIXED_SIZE);
    FUZZ_CHECK(layout.ownLength >= 0);
    FUZZ_CHECK(layout.signatureOffset == layout.ownLength);
    FUZZ_CHECK(layout.hiddenOffset == layout.signatureOffset + TRAILER_HEAD_SIZE);
    FUZZ_CHECK(layout.sizeFieldOffset == layout.hiddenOffset + layout.hiddenSize);
    FUZZ_CHECK(layout.nameFieldOffset == layout.sizeFieldOffset + TRAILER_SIZE_FIELD_SIZE);
    FUZZ_CHECK(layout.nameFieldOffset + TRAILER_NAME_FIELD_SIZE == fileLength);
}

// The same placement for lengths no test file can have: sizes near the
// 64-bit limits must neither overflow nor place a field outside the file.
static void CheckLocateArithmetic(const uint8_t* data, size_t size)
{
    if (size < 16)
        return;
    int64_t fileLength;
    int64_t storedSize;
    memcpy(&fileLength, data, sizeof fileLength);
    memcpy(&storedSize, data + 8, sizeof storedSize);
    TrailerLayout layout;
    TrailerError placed = TrailerLocate(fileLength, storedSize, &layout);
    if (fileLength < TRAILER_FIXED_SIZE) {
        FUZZ_CHECK(placed == TRAILER_FILE_TOO_SHORT);
    } else if (placed == TRAILER_OK) {
        FUZZ_CHECK(layout.hiddenSize == storedSize);
        CheckLayoutInside(layout, fileLength);
    } else {
        FUZZ_CHECK(placed == TRAILER_SIZE_OUTSIDE);
        FUZZ_CHECK(storedSize < 0 || storedSize > fileLength - TRAILER_FIXED_SIZE);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckLocateArithmetic(data, size);
    const int64_t fileLength = (int64_t)size;
    // The walk reads through a source of exactly the file's bytes: a read it
    // places outside them fails, and is reported below.
    CarrierBytes bytes = {data, size};
    TrailerSource source = TrailerSourceOfBytes(&bytes);
    TrailerLayout layout;
    char name[TRAILER_NAME_FIELD_SIZE];
    memset(name, 0x5A, sizeof name);
    TrailerError placed = TrailerFindLast(source, &layout, name);
    FUZZ_CHECK(placed != TRAILER_READ_FAILED);
    if (placed == TRAILER_FILE_TOO_SHORT) {
        FUZZ_CHECK(size < TRAILER_FIXED_SIZE);
        FUZZ_CHECK(name[0] == '\0');
        return 0;
    }
    // What the walk should have read: exactly the last 268 bytes.
    const unsigned char* tail = data + size - TRAILER_TAIL_SIZE;

    // The name: terminated inside its buffer, the field's text up to its NUL.
    const unsigned char* nameField = tail + TRAILER_SIZE_FIELD_SIZE;
    size_t nameLength = strnlen(name, sizeof name);
    FUZZ_CHECK(nameLength < sizeof name);
    FUZZ_CHECK(memcmp(name, nameField, nameLength) == 0);
    FUZZ_CHECK(nameLength == TRAILER_NAME_FIELD_SIZE - 1 || nameField[nameLength] == 0);

    // The size: the C library's decimal reading of the same 8 bytes.
    char sizeText[TRAILER_SIZE_FIELD_SIZE + 1];
    memcpy(sizeText, tail, TRAILER_SIZE_FIELD_SIZE);
    sizeText[TRAILER_SIZE_FIELD_SIZE] = '\0';
    int64_t stored = TrailerReadSize(tail);
    FUZZ_CHECK(stored == strtoll(sizeText, nullptr, 10));

    if (placed != TRAILER_OK) {
        FUZZ_CHECK(placed == TRAILER_SIZE_OUTSIDE);
        FUZZ_CHECK(stored < 0 || stored > fileLength - TRAILER_FIXED_SIZE);
        return 0;
    }
    FUZZ_CHECK(layout.hiddenSize == stored);
    CheckLayoutInside(layout, fileLength);

    // Read what the extract command reads at the located offsets: the hidden
    // bytes from a buffer of exactly the file's size (any offset outside it
    // is reported), the stored block through the walk.
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    FUZZ_CHECK(TrailerDecodeStoredBlock(source, layout, decoded) == TRAILER_OK);
    unsigned sum = 0;
    for (int64_t k = 0; k < layout.hiddenSize; k++)
        sum += data[layout.hiddenOffset + k];
    for (int k = 0; k < SIGNATURE_BLOCK_SIZE; k++)
        sum += decoded[k];
    volatile unsigned keep = sum;
    (void)keep;
    // The key check reads the same block; the whole walk agrees with its steps.
    TrailerError checked = TrailerCheckKey(source, layout, "fuzzkey");
    FUZZ_CHECK(checked == TRAILER_OK || checked == TRAILER_WRONG_KEY);
    TrailerLayout whole;
    char wholeName[TRAILER_NAME_FIELD_SIZE];
    FUZZ_CHECK(TrailerOpenLast(source, "fuzzkey", &whole, wholeName) == checked);
    FUZZ_CHECK(memcmp(&whole, &layout, sizeof layout) == 0);

    // Written back by the embed command's own code, the trailer reads the same.
    unsigned char rebuilt[TRAILER_TAIL_SIZE];
    FUZZ_CHECK(TrailerBuildTail(layout.hiddenSize, name, rebuilt) == TRAILER_OK);
    TrailerLayout again;
    char nameAgain[TRAILER_NAME_FIELD_SIZE];
    FUZZ_CHECK(TrailerParseTail(fileLength, rebuilt, &again, nameAgain) == TRAILER_OK);
    FUZZ_CHECK(memcmp(&again, &layout, sizeof layout) == 0);
    FUZZ_CHECK(strcmp(nameAgain, name) == 0);
    return 0;
}
