// The carrier trailer: the record appended to a carrier to hide a file at its
// end. Building its fixed parts, and the one walk every reader of carriers
// takes: find the last trailer from the end of the file, then check a key.
#ifndef ZORVANE_CARRIER_TRAILER_H
#define ZORVANE_CARRIER_TRAILER_H

#include <cstddef>
#include <cstdint>

#include "base/signatureblock.h"

// Trailer layout, offsets from its first byte (S = length of the hidden data):
//   0        31   signature block (header scramble of Signature 1, then 0xF7)
//   31       1    separator 0x00
//   32       S    hidden data, unchanged
//   32 + S   8    size field: S in ASCII decimal, NUL after fewer than 8 digits
//   40 + S   260  name field: hidden file's full path, NUL-terminated
// Counted back from the end of a carrier of T bytes: name field at T - 260,
// size field at T - 268, hidden data at T - (S + 268), signature block at
// T - (S + 300); the carrier's own bytes are the first T - S - 300.
enum {
    TRAILER_HEAD_SIZE = SIGNATURE_BLOCK_SIZE + 1,   // 32: block + separator
    TRAILER_SIZE_FIELD_SIZE = 8,
    TRAILER_NAME_FIELD_SIZE = 260,
    TRAILER_TAIL_SIZE = TRAILER_SIZE_FIELD_SIZE + TRAILER_NAME_FIELD_SIZE, // 268
    TRAILER_FIXED_SIZE = TRAILER_HEAD_SIZE + TRAILER_TAIL_SIZE              // 300
};

// The largest hidden file: the most an 8-digit size field can hold.
const int64_t TRAILER_MAX_HIDDEN = 99999999;

enum TrailerError {
    TRAILER_OK,
    TRAILER_HIDDEN_TOO_LARGE, // S outside 0..99,999,999: it does not fit the size field
    TRAILER_FILE_TOO_SHORT,   // fewer than 300 bytes: no trailer fits
    TRAILER_SIZE_OUTSIDE,     // stored S negative or larger than T - 300
    TRAILER_READ_FAILED,      // the carrier could not be read where the walk looked
    TRAILER_WRONG_KEY         // the stored signature is not the key
};

// Where the last trailer of a file lies, as absolute file offsets.
struct TrailerLayout {
    int64_t hiddenSize;      // S
    int64_t ownLength;       // T - S - 300: the carrier's own bytes
    int64_t signatureOffset; // T - (S + 300)
    int64_t hiddenOffset;    // T - (S + 268)
    int64_t sizeFieldOffset; // T - 268
    int64_t nameFieldOffset; // T - 260
};

// True when a hidden file of this many bytes fits the size field.
bool TrailerCanHide(int64_t hiddenSize);

// The fixed parts every writer of a trailer appends around the hidden bytes:
// the head (the signature block, made as for cipher files, and the
// separator) and the tail (size field and name field). Nothing is written
// for a size TrailerCanHide refuses.
TrailerError TrailerBuild(const unsigned char block[SIGNATURE_BLOCK_SIZE], int64_t hiddenSize,
                          const char* name, unsigned char head[TRAILER_HEAD_SIZE],
                          unsigned char tail[TRAILER_TAIL_SIZE]);

// The tail alone, for trailers crafted by hand. The name is copied up to its
// NUL or 259 characters; the bytes after the digits' NUL and the name's NUL
// are zero.
TrailerError TrailerBuildTail(int64_t hiddenSize, const char* name,
                              unsigned char tail[TRAILER_TAIL_SIZE]);

// The stored size as decimal text bounded to the field: leading white space,
// an optional sign, digits up to the first non-digit; no digits give 0.
int64_t TrailerReadSize(const unsigned char field[TRAILER_SIZE_FIELD_SIZE]);

// The stored name: the field's text up to its first NUL, always terminated
// (a field without a NUL gives its first 259 characters).
void TrailerReadName(const unsigned char field[TRAILER_NAME_FIELD_SIZE],
                     char name[TRAILER_NAME_FIELD_SIZE]);

// Places the last trailer of a file of fileLength bytes whose size field
// holds storedSize; refuses any position outside the file.
TrailerError TrailerLocate(int64_t fileLength, int64_t storedSize, TrailerLayout* layout);

// Reads the last trailer's fields from the last 268 bytes of a file of
// fileLength >= 300 bytes: the stored name (always) and the layout (when the
// stored size places every field inside the file). Readers of files take
// TrailerFindLast, which reads those bytes itself.
TrailerError TrailerParseTail(int64_t fileLength, const unsigned char tail[TRAILER_TAIL_SIZE],
                              TrailerLayout* layout, char name[TRAILER_NAME_FIELD_SIZE]);

// The text-carrier test: the last four characters of the path (the whole
// path when shorter) equal ".txt", ".ini", ".TXT" or ".INI" exactly.
bool IsTextCarrierName(const char* path);

// The 31 bytes of a stored signature block, decoded with the header scramble.
void TrailerDecodeBlock(const unsigned char block[SIGNATURE_BLOCK_SIZE],
                        unsigned char decoded[SIGNATURE_BLOCK_SIZE]);

// A place the decoded block may be routed through before it is compared
// (a test's stand-in for a temporary file): `count` bytes go in, and up to
// `backSize` bytes read back from its start land in `back`, *got of them.
// False when the staging failed.
typedef bool (*KeyStage)(const unsigned char* bytes, size_t count, unsigned char* back,
                         size_t backSize, size_t* got);

// The carrier key check, for every reader of carriers: the stored signature
// block is decoded, and its first 8 bytes, as a NUL-terminated string, must
// equal the key (signature form) exactly. With a stage, the 31 decoded bytes
// go through it and the 8 read back are compared; a staging that fails or
// gives back fewer than 8 bytes is a mismatch.
bool TrailerKeyMatches(const unsigned char block[SIGNATURE_BLOCK_SIZE],
                       const char key[SIGNATURE_FORM_SIZE], KeyStage stage = nullptr);

// A carrier as the walk reads it: `length` bytes, and readAt, which fills
// `count` bytes from `offset` or returns false (a failed or short read).
struct TrailerSource {
    void* context;
    int64_t length;
    bool (*readAt)(void* context, int64_t offset, unsigned char* buffer, size_t count);
};

// A carrier held in memory (the self test, the tests, the fuzz target): the
// source reads its bytes and fails any read that does not lie inside them.
struct CarrierBytes {
    const unsigned char* bytes;
    size_t size;
};
TrailerSource TrailerSourceOfBytes(CarrierBytes* carrier);

// The walk's first step: reads the last 268 bytes and places the last
// trailer. `name` gets the stored name once those bytes are read, and is
// empty otherwise. TRAILER_OK, TRAILER_FILE_TOO_SHORT, TRAILER_SIZE_OUTSIDE
// or TRAILER_READ_FAILED; the layout is set only with TRAILER_OK.
TrailerError TrailerFindLast(const TrailerSource& source, TrailerLayout* layout,
                             char name[TRAILER_NAME_FIELD_SIZE]);

// The stored signature block of a found trailer, decoded: the head (block
// and separator) is read in one piece. TRAILER_OK or TRAILER_READ_FAILED.
TrailerError TrailerDecodeStoredBlock(const TrailerSource& source, const TrailerLayout& layout,
                                      unsigned char decoded[SIGNATURE_BLOCK_SIZE]);

// The walk's second step, the key check of TrailerKeyMatches on the head of
// a found trailer: TRAILER_OK, TRAILER_WRONG_KEY or TRAILER_READ_FAILED.
TrailerError TrailerCheckKey(const TrailerSource& source, const TrailerLayout& layout,
                             const char key[SIGNATURE_FORM_SIZE]);

// The whole walk: finds the last trailer, then checks the key. The layout is
// set once the trailer is placed (with TRAILER_OK or TRAILER_WRONG_KEY), the
// name as TrailerFindLast sets it.
TrailerError TrailerOpenLast(const TrailerSource& source, const char key[SIGNATURE_FORM_SIZE],
                             TrailerLayout* layout, char name[TRAILER_NAME_FIELD_SIZE]);

#endif
