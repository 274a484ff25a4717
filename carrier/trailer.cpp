// The carrier trailer's layout code, shared by the embed and extract
// commands: building the fixed parts, and the walk that reads them back
// with bounds checks.
#include "carrier/trailer.h"

#include <cstdio>
#include <cstring>

#include "base/wipe.h"

bool TrailerCanHide(int64_t hiddenSize)
{
    return hiddenSize >= 0 && hiddenSize <= TRAILER_MAX_HIDDEN;
}

TrailerError TrailerBuild(const unsigned char block[SIGNATURE_BLOCK_SIZE], int64_t hiddenSize,
                          const char* name, unsigned char head[TRAILER_HEAD_SIZE],
                          unsigned char tail[TRAILER_TAIL_SIZE])
{
    TrailerError built = TrailerBuildTail(hiddenSize, name, tail);
    if (built != TRAILER_OK)
        return built;
    memcpy(head, block, SIGNATURE_BLOCK_SIZE);
    head[SIGNATURE_BLOCK_SIZE] = 0x00;
    return TRAILER_OK;
}

TrailerError TrailerBuildTail(int64_t hiddenSize, const char* name,
                              unsigned char tail[TRAILER_TAIL_SIZE])
{
    if (!TrailerCanHide(hiddenSize))
        return TRAILER_HIDDEN_TOO_LARGE;
    memset(tail, 0, TRAILER_TAIL_SIZE);
    // Plain decimal, no padding: with 8 digits the field holds no NUL.
    char digits[16];
    int length = snprintf(digits, sizeof digits, "%ld", (long)hiddenSize);
    memcpy(tail, digits, (size_t)length);
    size_t n = 0;
    while (n < TRAILER_NAME_FIELD_SIZE - 1 && name[n] != '\0')
        n++;
    memcpy(tail + TRAILER_SIZE_FIELD_SIZE, name, n);
    return TRAILER_OK;
}

static bool IsSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int64_t TrailerReadSize(const unsigned char field[TRAILER_SIZE_FIELD_SIZE])
{
    size_t k = 0;
    while (k < TRAILER_SIZE_FIELD_SIZE && IsSpace(field[k]))
        k++;
    bool negative = false;
    if (k < TRAILER_SIZE_FIELD_SIZE && (field[k] == '+' || field[k] == '-')) {
        negative = field[k] == '-';
        k++;
    }
    // At most 8 digits: no overflow is possible.
    int64_t value = 0;
    while (k < TRAILER_SIZE_FIELD_SIZE && field[k] >= '0' && field[k] <= '9') {
        value = value * 10 + (field[k] - '0');
        k++;
    }
    return negative ? -value : value;
}

void TrailerReadName(const unsigned char field[TRAILER_NAME_FIELD_SIZE],
                     char name[TRAILER_NAME_FIELD_SIZE])
{
    size_t n = 0;
    while (n < TRAILER_NAME_FIELD_SIZE - 1 && field[n] != 0) {
        name[n] = (char)field[n];
        n++;
    }
    name[n] = '\0';
}

TrailerError TrailerLocate(int64_t fileLength, int64_t storedSize, TrailerLayout* layout)
{
    if (fileLength < TRAILER_FIXED_SIZE)
        return TRAILER_FILE_TOO_SHORT;
    if (storedSize < 0 || storedSize > fileLength - TRAILER_FIXED_SIZE)
        return TRAILER_SIZE_OUTSIDE;
    layout->hiddenSize = storedSize;
    layout->ownLength = fileLength - storedSize - TRAILER_FIXED_SIZE;
    layout->signatureOffset = layout->ownLength;
    layout->hiddenOffset = layout->ownLength + TRAILER_HEAD_SIZE;
    layout->sizeFieldOffset = fileLength - TRAILER_TAIL_SIZE;
    layout->nameFieldOffset = fileLength - TRAILER_NAME_FIELD_SIZE;
    return TRAILER_OK;
}

TrailerError TrailerParseTail(int64_t fileLength, const unsigned char tail[TRAILER_TAIL_SIZE],
                              TrailerLayout* layout, char name[TRAILER_NAME_FIELD_SIZE])
{
    TrailerReadName(tail + TRAILER_SIZE_FIELD_SIZE, name);
    return TrailerLocate(fileLength, TrailerReadSize(tail), layout);
}

void TrailerDecodeBlock(const unsigned char block[SIGNATURE_BLOCK_SIZE],
                        unsigned char decoded[SIGNATURE_BLOCK_SIZE])
{
    for (int k = 0; k < SIGNATURE_BLOCK_SIZE; k++)
        decoded[k] = Decode(block[k]);
}

bool TrailerKeyMatches(const unsigned char block[SIGNATURE_BLOCK_SIZE],
                       const char key[SIGNATURE_FORM_SIZE], KeyStage stage)
{
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    unsigned char back[SIGNATURE_FORM_SIZE];
    TrailerDecodeBlock(block, decoded);
    const unsigned char* compared = decoded;
    size_t got = SIGNATURE_FORM_SIZE;
    bool staged = true;
    if (stage) {
        got = 0;
        staged = stage(decoded, sizeof decoded, back, sizeof back, &got);
        compared = back;
    }
    bool matches = staged && got == SIGNATURE_FORM_SIZE && DecodedKeyMatches(compared, key);
    Wipe(decoded, sizeof decoded);
    Wipe(back, sizeof back);
    return matches;
}

static bool ReadCarrierBytes(void* context, int64_t offset, unsigned char* buffer, size_t count)
{
    const CarrierBytes* carrier = (const CarrierBytes*)context;
    if (offset < 0 || (uint64_t)offset > carrier->size || count > carrier->size - (size_t)offset)
        return false;
    memcpy(buffer, carrier->bytes + offset, count);
    return true;
}

TrailerSource TrailerSourceOfBytes(CarrierBytes* carrier)
{
    return TrailerSource{carrier, (int64_t)carrier->size, ReadCarrierBytes};
}

TrailerError TrailerFindLast(const TrailerSource& source, TrailerLayout* layout,
                             char name[TRAILER_NAME_FIELD_SIZE])
{
    name[0] = '\0';
    // Only a file that can hold a trailer has a size field and a name field.
    if (source.length < TRAILER_FIXED_SIZE)
        return TRAILER_FILE_TOO_SHORT;
    unsigned char tail[TRAILER_TAIL_SIZE];
    if (!source.readAt(source.context, source.length - TRAILER_TAIL_SIZE, tail, sizeof tail))
        return TRAILER_READ_FAILED;
    return TrailerParseTail(source.length, tail, layout, name);
}

TrailerError TrailerDecodeStoredBlock(const TrailerSource& source, const TrailerLayout& layout,
                                      unsigned char decoded[SIGNATURE_BLOCK_SIZE])
{
    unsigned char head[TRAILER_HEAD_SIZE];
    if (!source.readAt(source.context, layout.signatureOffset, head, sizeof head))
        return TRAILER_READ_FAILED;
    TrailerDecodeBlock(head, decoded);
    return TRAILER_OK;
}

TrailerError TrailerCheckKey(const TrailerSource& source, const TrailerLayout& layout,
                             const char key[SIGNATURE_FORM_SIZE])
{
    unsigned char head[TRAILER_HEAD_SIZE];
    if (!source.readAt(source.context, layout.signatureOffset, head, sizeof head))
        return TRAILER_READ_FAILED;
    return TrailerKeyMatches(head, key) ? TRAILER_OK : TRAILER_WRONG_KEY;
}

TrailerError TrailerOpenLast(const TrailerSource& source, const char key[SIGNATURE_FORM_SIZE],
                             TrailerLayout* layout, char name[TRAILER_NAME_FIELD_SIZE])
{
    TrailerError found = TrailerFindLast(source, layout, name);
    if (found != TRAILER_OK)
        return found;
    return TrailerCheckKey(source, *layout, key);
}

bool IsTextCarrierName(const char* path)
{
    static const char* const kTextEndings[] = {".txt", ".ini", ".TXT", ".INI"};
    size_t length = strlen(path);
    const char* lastFour = length < 4 ? path : path + length - 4;
    for (const char* ending : kTextEndings) {
        if (strcmp(lastFour, ending) == 0)
            return true;
    }
    return false;
}
