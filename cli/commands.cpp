// Encrypt, decrypt, embed and extract over files in one pass with a fixed
// buffer. New files are written to a temporary file beside their target and
// renamed into place only when complete; nothing is written before the key
// check has passed.
#include "cli/commands.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/pathname.h"
#include "base/wipe.h"
#include "carrier/carrierkind.h"
#include "carrier/trailer.h"
#include "cli/codepage.h"
#include "cli/platform.h"
#include "cipher/cipherstream.h"

static const char kProgramName[] = "zorvane-cli";
// Files at least this large get a progress bar when stderr is a terminal.
static const int64_t kProgressThreshold = 4 * 1024 * 1024;
// Sizes measured on a 256 MiB encrypt (median CPU time of eight runs): chunks
// of 64 and 128 KiB cost 20 and 7 % more than 256 KiB, larger ones no less
// within the 10 ms measured, and 256 KiB stays in a second-level cache.
// Write-behind every 2 MiB leaves the final flush 2 to 5 ms (every 8 MiB: 7
// to 16 ms); every 1 MiB spends more in the calls than it saves there.
enum { PROGRESS_WIDTH = 30, CHUNK_SIZE = 256 * 1024, WRITE_BEHIND_STEP = 2 * 1024 * 1024 };

static unsigned char g_chunk[CHUNK_SIZE];

void CliPrint(FILE* stream, const char* format, ...)
{
    char text[3 * CLI_PATH_SIZE];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    PlatformWriteText(stream, text);
}

void Complain(const char* subject, const char* reason)
{
    CliPrint(stderr, "%s: %s: %s\n", kProgramName, subject, reason);
}

static void ComplainFile(const char* subject, const char* what)
{
    char reason[512];
    snprintf(reason, sizeof reason, "%s: %s", what, PlatformErrorText());
    Complain(subject, reason);
}

struct Progress {
    const char* label;
    int64_t total;
    int64_t done;
    int shown; // last percentage drawn, -1 before the first
    bool active;
};

static void ProgressBegin(Progress* progress, const char* label, int64_t total)
{
    progress->label = label;
    progress->total = total;
    progress->done = 0;
    progress->shown = -1;
    progress->active = total >= kProgressThreshold && PlatformStderrIsTerminal();
}

static void ProgressAdvance(Progress* progress, size_t count)
{
    progress->done += (int64_t)count;
    if (!progress->active)
        return;
    int percent = (int)(progress->done * 100 / progress->total);
    if (percent > 100)
        percent = 100;
    if (percent == progress->shown)
        return;
    progress->shown = percent;
    char bar[PROGRESS_WIDTH + 1];
    int filled = percent * PROGRESS_WIDTH / 100;
    for (int k = 0; k < PROGRESS_WIDTH; k++)
        bar[k] = k < filled ? '#' : '-';
    bar[PROGRESS_WIDTH] = '\0';
    CliPrint(stderr, "\r[%s] %3d %% %s", bar, percent, progress->label);
    fflush(stderr);
}

static void ProgressEnd(Progress* progress)
{
    if (progress->active && progress->shown >= 0)
        fputc('\n', stderr);
}

// A new file under construction: the temporary file beside its target.
struct PendingOutput {
    const char* target;
    CliFile file;
    char tempPath[CLI_PATH_SIZE];
};

static int OutputBegin(PendingOutput* out, const char* target, bool force)
{
    out->target = target;
    if (!force && PlatformExists(target)) {
        Complain(target, "already exists (--force replaces it)");
        return CLI_EXIT_FILE;
    }
    if (!PlatformCreateTempBeside(target, &out->file, out->tempPath, sizeof out->tempPath)) {
        ComplainFile(target, "cannot create a temporary file beside it");
        return CLI_EXIT_FILE;
    }
    return CLI_EXIT_OK;
}

static void OutputAbandon(PendingOutput* out)
{
    PlatformClose(&out->file);
    PlatformDropTemp(out->tempPath);
}

static int OutputFinish(PendingOutput* out, bool force)
{
    if (!PlatformSync(&out->file)) {
        ComplainFile(out->target, "cannot write");
        OutputAbandon(out);
        return CLI_EXIT_FILE;
    }
    if (!PlatformClose(&out->file)) {
        ComplainFile(out->target, "cannot write");
        PlatformDropTemp(out->tempPath);
        return CLI_EXIT_FILE;
    }
    if (!PlatformMoveIntoPlace(out->tempPath, out->target, force)) {
        ComplainFile(out->target, "cannot put the new file in place");
        PlatformDropTemp(out->tempPath);
        return CLI_EXIT_FILE;
    }
    return CLI_EXIT_OK;
}

typedef void (*ChunkFunction)(CipherStream* stream, unsigned char* bytes, size_t count);

// Copies from `in` to `out` through `convert` (none for a plain copy):
// `length` bytes exactly, or everything up to the end when length < 0. The
// first `prefix` bytes of g_chunk go out first, unconverted, in the same
// write as the first input, which keeps every later write page-aligned.
static int Pump(CliFile* in, const char* inPath, CliFile* out, const char* outPath,
                int64_t length, CipherStream* stream, ChunkFunction convert,
                Progress* progress, size_t prefix)
{
    int64_t left = length;
    int64_t written = 0;
    for (;;) {
        size_t want = CHUNK_SIZE - prefix;
        if (length >= 0) {
            if (left == 0)
                return CLI_EXIT_OK;
            if (left < (int64_t)want)
                want = (size_t)left;
        }
        long got = PlatformRead(in, g_chunk + prefix, want);
        if (got < 0) {
            ComplainFile(inPath, "cannot read");
            return CLI_EXIT_FILE;
        }
        if (got == 0 && length >= 0) {
            Complain(inPath, "ended early (did it change while being read?)");
            return CLI_EXIT_FILE;
        }
        if (convert)
            convert(stream, g_chunk + prefix, (size_t)got);
        if (!PlatformWriteAll(out, g_chunk, prefix + (size_t)got)) {
            ComplainFile(outPath, "cannot write");
            return CLI_EXIT_FILE;
        }
        prefix = 0;
        if (got == 0)
            return CLI_EXIT_OK;
        left -= got;
        written += got;
        if (written >= WRITE_BEHIND_STEP) {
            PlatformWriteBehind(out);
            written = 0;
        }
        ProgressAdvance(progress, (size_t)got);
    }
}

// Reads up to `size` bytes, fewer only at the end of the file.
static long ReadFully(CliFile* file, unsigned char* buffer, size_t size)
{
    size_t have = 0;
    while (have < size) {
        long got = PlatformRead(file, buffer + have, size - have);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        have += (size_t)got;
    }
    return (long)have;
}

static bool OpenInput(const char* path, CliFile* file, int64_t* size)
{
    if (!PlatformOpenRead(path, file)) {
        ComplainFile(path, "cannot open");
        return false;
    }
    if (!PlatformFileSize(file, size)) {
        ComplainFile(path, "cannot read");
        PlatformClose(file);
        return false;
    }
    return true;
}

// The output of encrypt and decrypt: -o OUT, or the "zel" name beside the input.
static bool CipherOutputName(const char* path, const CliOptions& options, char* out,
                             size_t outSize)
{
    if (options.output) {
        if (strlen(options.output) >= outSize) {
            Complain(options.output, "path too long");
            return false;
        }
        memcpy(out, options.output, strlen(options.output) + 1);
        return true;
    }
    if (MakeOutputNameUtf8(path, out, outSize) != OUTPUT_NAME_OK) {
        Complain(path, "path too long for its output name");
        return false;
    }
    return true;
}

// The output half of both directions: the target by the "zel" rule (or -o),
// one pass through the stream after `prefix` bytes written as they are, and
// the output renamed into place. Closes `in` on every path.
static int CipherToOutput(const char* path, CliFile* in, int64_t progressSize,
                          CipherStream* stream, ChunkFunction convert,
                          const unsigned char* prefix, size_t prefixLength,
                          const CliOptions& options)
{
    char target[CLI_PATH_SIZE];
    PendingOutput out;
    int result = CipherOutputName(path, options, target, sizeof target)
                     ? OutputBegin(&out, target, options.force)
                     : CLI_EXIT_FILE;
    if (result != CLI_EXIT_OK) {
        PlatformClose(in);
        return result;
    }
    Progress progress;
    ProgressBegin(&progress, path, progressSize);
    if (prefixLength > 0)
        memcpy(g_chunk, prefix, prefixLength);
    result = Pump(in, path, &out.file, target, -1, stream, convert, &progress, prefixLength);
    ProgressEnd(&progress);
    PlatformClose(in);
    if (result != CLI_EXIT_OK) {
        OutputAbandon(&out);
        return result;
    }
    result = OutputFinish(&out, options.force);
    if (result == CLI_EXIT_OK)
        CliPrint(stdout, "%s -> %s\n", path, target);
    return result;
}

int EncryptFile(const char* path, const char sig1[SIGNATURE_FORM_SIZE],
                const char sig2[SIGNATURE_FORM_SIZE], const CliOptions& options)
{
    CliFile in;
    int64_t size;
    if (!OpenInput(path, &in, &size))
        return CLI_EXIT_FILE;
    CipherStream stream;
    unsigned char header[IMAGE_HEADER_SIZE];
    CipherEncryptBegin(&stream, sig1, sig2, CLI_ENCRYPT_MODE, header);
    return CipherToOutput(path, &in, size, &stream, CipherEncryptChunk, header, sizeof header,
                          options);
}

int DecryptFile(const char* path, const char key1[SIGNATURE_FORM_SIZE],
                const char key2[SIGNATURE_FORM_SIZE], const CliOptions& options)
{
    CliFile in;
    int64_t size;
    if (!OpenInput(path, &in, &size))
        return CLI_EXIT_FILE;
    unsigned char head[IMAGE_HEADER_SIZE];
    long headLength = ReadFully(&in, head, sizeof head);
    if (headLength < 0) {
        ComplainFile(path, "cannot read");
        PlatformClose(&in);
        return CLI_EXIT_FILE;
    }
    CipherStream stream;
    ImageVerdict verdict = CipherDecryptBegin(&stream, key1, key2, head, (size_t)headLength);
    if (verdict != IMAGE_DECRYPTABLE) {
        // The file carries no magic number: only the key check tells a
        // cipher file from any other, so every refusal is a wrong key.
        Complain(path, verdict == IMAGE_WRONG_KEY
                           ? "wrong key (or not a cipher file); nothing written"
                           : "not a cipher file for these keys; nothing written");
        PlatformClose(&in);
        return CLI_EXIT_WRONG_KEY;
    }
    return CipherToOutput(path, &in, size - IMAGE_HEADER_SIZE, &stream, CipherDecryptChunk, nullptr,
                          0, options);
}

// The name stored in a new trailer: the hidden file's full path in the
// window program's code page, or its file name alone when the full path
// does not fit the 260-byte name field or holds a character the code page
// lacks.
static bool StoredNameFor(const char* hiddenPath, char name[TRAILER_NAME_FIELD_SIZE])
{
    char full[CLI_PATH_SIZE];
    if (!PlatformFullPath(hiddenPath, full, sizeof full)) {
        ComplainFile(hiddenPath, "cannot resolve its full path");
        return false;
    }
    size_t bad = 0;
    if (TextToCodePage(full, name, TRAILER_NAME_FIELD_SIZE, &bad) == CONVERT_OK)
        return true;
    const char* last = LastPathComponent(full);
    ConvertResult result = TextToCodePage(last, name, TRAILER_NAME_FIELD_SIZE, &bad);
    if (result == CONVERT_OK)
        return true;
    char reason[160];
    if (result == CONVERT_TOO_LONG)
        snprintf(reason, sizeof reason, "file name too long to store in a carrier");
    else
        DescribeConvertFailure(result, last, bad, reason, sizeof reason);
    Complain(hiddenPath, reason);
    return false;
}

// A carrier its own programs would call damaged once a file is hidden in it
// is refused unless --any-carrier was given. Reads no more of the carrier
// than its first bytes and leaves its position at `ownLength`, its end;
// returns false with the exit code in *result.
static bool CarrierKindAccepted(CliFile* carrier, const char* carrierPath, int64_t ownLength,
                                const CliOptions& options, int* result)
{
    if (options.anyCarrier)
        return true;
    unsigned char head[CARRIER_KIND_HEAD_SIZE];
    size_t want = ownLength < (int64_t)sizeof head ? (size_t)ownLength : sizeof head;
    long got = -1;
    if (!PlatformSeek(carrier, 0) || (got = ReadFully(carrier, head, want)) < 0 ||
        !PlatformSeek(carrier, ownLength)) {
        ComplainFile(carrierPath, "cannot read");
        *result = CLI_EXIT_FILE;
        return false;
    }
    CarrierKind kind = CarrierKindOf(head, (size_t)got);
    if (kind == CARRIER_KIND_OTHER)
        return true;
    char reason[400];
    snprintf(reason, sizeof reason,
             "is a %s: while a file is hidden in it, programs that open it may call it damaged, "
             "and repairing it there loses the hidden file; nothing changed "
             "(--any-carrier embeds anyway)",
             CarrierKindName(kind));
    Complain(carrierPath, reason);
    *result = CLI_EXIT_USAGE;
    return false;
}

int EmbedFile(const char* hiddenPath, const char* carrierPath,
              const char sig1[SIGNATURE_FORM_SIZE], const CliOptions& options)
{
    if (IsTextCarrierName(carrierPath)) {
        Complain(carrierPath, "a carrier cannot be a text file (.txt or .ini)");
        return CLI_EXIT_USAGE;
    }
    CliFile hidden;
    int64_t hiddenSize;
    if (!OpenInput(hiddenPath, &hidden, &hiddenSize))
        return CLI_EXIT_FILE;
    char name[TRAILER_NAME_FIELD_SIZE];
    if (!StoredNameFor(hiddenPath, name)) {
        PlatformClose(&hidden);
        return CLI_EXIT_FILE;
    }
    if (!TrailerCanHide(hiddenSize)) {
        Complain(hiddenPath, "too large to hide (the most is 99,999,999 bytes)");
        PlatformClose(&hidden);
        return CLI_EXIT_FILE;
    }
    CliFile carrier;
    int64_t ownLength;
    if (!PlatformOpenReadWrite(carrierPath, &carrier)) {
        ComplainFile(carrierPath, "cannot open for writing");
        PlatformClose(&hidden);
        return CLI_EXIT_FILE;
    }
    if (!PlatformFileSize(&carrier, &ownLength) || !PlatformSeek(&carrier, ownLength)) {
        ComplainFile(carrierPath, "cannot read");
        PlatformClose(&hidden);
        PlatformClose(&carrier);
        return CLI_EXIT_FILE;
    }
    int refused = CLI_EXIT_OK;
    if (!CarrierKindAccepted(&carrier, carrierPath, ownLength, options, &refused)) {
        PlatformClose(&hidden);
        PlatformClose(&carrier);
        return refused;
    }
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    unsigned char head[TRAILER_HEAD_SIZE];
    unsigned char tail[TRAILER_TAIL_SIZE];
    EncodeSignatureBlock((const unsigned char*)sig1, SIGNATURE_FORM_SIZE, block);
    // The size was checked before the carrier was opened.
    bool built = TrailerBuild(block, hiddenSize, name, head, tail) == TRAILER_OK;
    Wipe(block, sizeof block);
    Progress progress;
    ProgressBegin(&progress, hiddenPath, hiddenSize);
    int result = CLI_EXIT_OK;
    if (!built || !PlatformWriteAll(&carrier, head, sizeof head)) {
        ComplainFile(carrierPath, "cannot write");
        result = CLI_EXIT_FILE;
    }
    Wipe(head, sizeof head);
    if (result == CLI_EXIT_OK)
        result = Pump(&hidden, hiddenPath, &carrier, carrierPath, hiddenSize, nullptr, nullptr,
                      &progress, 0);
    ProgressEnd(&progress);
    if (result == CLI_EXIT_OK && (!PlatformWriteAll(&carrier, tail, sizeof tail) ||
                                  !PlatformSync(&carrier))) {
        ComplainFile(carrierPath, "cannot write");
        result = CLI_EXIT_FILE;
    }
    PlatformClose(&hidden);
    if (result != CLI_EXIT_OK) {
        // The carrier gets back exactly its own bytes.
        if (PlatformTruncate(&carrier, ownLength) && PlatformSync(&carrier))
            Complain(carrierPath, "left as it was");
        else
            ComplainFile(carrierPath, "cannot cut the partial trailer off again");
        PlatformClose(&carrier);
        return result;
    }
    if (!PlatformClose(&carrier)) {
        ComplainFile(carrierPath, "cannot write");
        return CLI_EXIT_FILE;
    }
    CliPrint(stdout, "%s -> %s\n", hiddenPath, carrierPath);
    return CLI_EXIT_OK;
}

// A stored name that does not convert, as ASCII: other bytes as \xHH
// (`escape`, to show it) or _HH (a safe file name).
static void AsciiFormOf(const char* bytes, const char* escape, char* out, size_t outSize)
{
    size_t used = 0;
    out[0] = '\0';
    for (const unsigned char* at = (const unsigned char*)bytes; *at != 0; at++) {
        int put = *at >= 0x20 && *at < 0x7F ? snprintf(out + used, outSize - used, "%c", *at)
                                             : snprintf(out + used, outSize - used, "%s%02X",
                                                        escape, *at);
        if (put < 0 || (size_t)put >= outSize - used)
            break;
        used += (size_t)put;
    }
}

// The default output of extract: the stored name's last component, in the
// current folder, whatever folders the stored path names, converted from
// the window program's code page. `shown` gets the stored name as the
// output line shows it: converted, or escaped with the reason it is not.
static bool ExtractOutputName(const char* stored, const CliOptions& options, char* out,
                              size_t outSize, char* shown, size_t shownSize)
{
    char name[CLI_PATH_SIZE];
    size_t bad = 0;
    ConvertResult converted = TextFromCodePage(stored, name, sizeof name, &bad);
    if (converted == CONVERT_OK) {
        snprintf(shown, shownSize, "%s", name);
    } else {
        // A safe name from the last component of the bytes as they are.
        char escaped[4 * TRAILER_NAME_FIELD_SIZE], reason[160];
        AsciiFormOf(stored, "\\x", escaped, sizeof escaped);
        DescribeConvertFailure(converted, stored, bad, reason, sizeof reason);
        snprintf(shown, shownSize, "%s: %s%s", escaped, reason,
                 options.output ? "" : "; a safe name instead");
        AsciiFormOf(LastPathComponent(stored), "_", name, sizeof name);
    }
    const char* use = options.output;
    if (!use) {
        use = LastPathComponent(name);
        if (*use == '\0' || strcmp(use, ".") == 0 || strcmp(use, "..") == 0) {
            char reason[CLI_PATH_SIZE + 64];
            snprintf(reason, sizeof reason, "stored name \"%.600s\" has no file name; give one with -o",
                     shown);
            Complain("extract", reason);
            return false;
        }
    }
    if (strlen(use) >= outSize) {
        Complain(use, "path too long");
        return false;
    }
    memcpy(out, use, strlen(use) + 1);
    return true;
}

static bool ReadCarrierAt(void* carrier, int64_t offset, unsigned char* buffer, size_t count)
{
    return PlatformSeek((CliFile*)carrier, offset) &&
           ReadFully((CliFile*)carrier, buffer, count) == (long)count;
}

// Finds the last trailer and checks the key; writes nothing.
static int LocateTrailer(CliFile* carrier, const char* carrierPath,
                         const char key[SIGNATURE_FORM_SIZE], TrailerLayout* layout,
                         char name[TRAILER_NAME_FIELD_SIZE])
{
    int64_t length;
    if (!PlatformFileSize(carrier, &length)) {
        ComplainFile(carrierPath, "cannot read");
        return CLI_EXIT_FILE;
    }
    switch (TrailerOpenLast(TrailerSource{carrier, length, ReadCarrierAt}, key, layout, name)) {
    case TRAILER_OK:
        return CLI_EXIT_OK;
    case TRAILER_FILE_TOO_SHORT:
        Complain(carrierPath, "no carrier trailer (shorter than 300 bytes); nothing written");
        return CLI_EXIT_WRONG_KEY;
    case TRAILER_SIZE_OUTSIDE:
        Complain(carrierPath, "no carrier trailer (its size field points outside the file); "
                              "nothing written");
        return CLI_EXIT_WRONG_KEY;
    case TRAILER_WRONG_KEY:
        Complain(carrierPath, "wrong key (or no carrier trailer); nothing written");
        return CLI_EXIT_WRONG_KEY;
    default:
        ComplainFile(carrierPath, "cannot read");
        return CLI_EXIT_FILE;
    }
}

int ExtractFile(const char* carrierPath, const char key[SIGNATURE_FORM_SIZE],
                const CliOptions& options)
{
    CliFile carrier;
    // Opened for writing from the start: a carrier that cannot be cut must
    // not give its hidden file first.
    if (!PlatformOpenReadWrite(carrierPath, &carrier)) {
        ComplainFile(carrierPath, "cannot open for writing");
        return CLI_EXIT_FILE;
    }
    TrailerLayout layout;
    char stored[TRAILER_NAME_FIELD_SIZE];
    char target[CLI_PATH_SIZE], shown[2 * CLI_PATH_SIZE];
    PendingOutput out;
    int result = LocateTrailer(&carrier, carrierPath, key, &layout, stored);
    if (result == CLI_EXIT_OK &&
        !ExtractOutputName(stored, options, target, sizeof target, shown, sizeof shown))
        result = CLI_EXIT_FILE;
    // The hidden file put in place over its own carrier would leave neither:
    // refused whatever the output's name and whatever --force says.
    if (result == CLI_EXIT_OK && PlatformSameFile(&carrier, target)) {
        Complain(target, "is the carrier itself; give another output with -o");
        result = CLI_EXIT_FILE;
    }
    if (result == CLI_EXIT_OK)
        result = OutputBegin(&out, target, options.force);
    if (result != CLI_EXIT_OK) {
        PlatformClose(&carrier);
        return result;
    }
    Progress progress;
    ProgressBegin(&progress, carrierPath, layout.hiddenSize);
    if (!PlatformSeek(&carrier, layout.hiddenOffset)) {
        ComplainFile(carrierPath, "cannot read");
        result = CLI_EXIT_FILE;
    } else {
        result = Pump(&carrier, carrierPath, &out.file, target, layout.hiddenSize, nullptr,
                      nullptr, &progress, 0);
    }
    ProgressEnd(&progress);
    if (result == CLI_EXIT_OK) {
        result = OutputFinish(&out, options.force);
    } else {
        OutputAbandon(&out);
    }
    if (result != CLI_EXIT_OK) {
        Complain(carrierPath, "left as it was");
        PlatformClose(&carrier);
        return result;
    }
    // The hidden file is complete and on disk: only now may the trailer go.
    if (!PlatformTruncate(&carrier, layout.ownLength) || !PlatformSync(&carrier)) {
        ComplainFile(carrierPath, "hidden file written, but the trailer could not be cut off");
        PlatformClose(&carrier);
        return CLI_EXIT_FILE;
    }
    if (!PlatformClose(&carrier)) {
        ComplainFile(carrierPath, "cannot write");
        return CLI_EXIT_FILE;
    }
    CliPrint(stdout, "%s -> %s (stored as %s)\n", carrierPath, target, shown);
    return CLI_EXIT_OK;
}
