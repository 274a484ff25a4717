// zorvane-cli: encrypt, decrypt, embed and extract Zorvane's files from a
// command line. Parses the arguments, gets the secrets, runs each file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/wipe.h"
#include "cli/codepage.h"
#include "cli/commands.h"
#include "cli/keys.h"
#include "cli/platform.h"

static const char kVersion[] = "zorvane-cli 1.30 (the file formats of Zorvane V1.30)\n";

static const char kUsage[] =
    "Usage: zorvane-cli COMMAND [OPTIONS] FILE...\n"
    "\n"
    "  encrypt FILE...           cipher files named by the \"zel\" rule (REPORT.DOC -> REPORTzel.DOC)\n"
    "  decrypt FILE...           the bytes that were encrypted, named by the same rule\n"
    "  embed HIDDEN CARRIER      hide HIDDEN at the end of CARRIER\n"
    "  extract CARRIER           write the hidden file out and cut it from CARRIER\n"
    "  selftest                  check the built-in known-answer vectors\n"
    "\n"
    "zorvane-cli COMMAND --help tells more; zorvane-cli --version.\n"
    "Exit status: 0 done, 1 usage, 2 wrong key (or not a cipher file, or no\n"
    "carrier trailer), 3 file error.\n";

static const char kSecrets[] =
    "\nSecrets are never taken from the command line. Each is read from standard\n"
    "input with --keys-from-stdin (one a line, in the order above), else from\n"
    "ZORVANE_SIGNATURE1 / ZORVANE_SIGNATURE2, else asked on the terminal without\n"
    "echo. The first seven characters count; shorter ones are padded with spaces;\n"
    "case counts.\n"
    "\n"
    "Secrets and stored names are converted to the window program's code page,\n"
    "so the same characters give the same bytes there: Windows-1252 on Linux, the\n"
    "ANSI code page on Windows, or the one --codepage N or ZORVANE_CODEPAGE names\n"
    "(1250 to 1258 and others). --codepage bytes takes the bytes as given, as\n"
    "earlier versions did on Linux.\n";

static const char kEncryptHelp[] =
    "Usage: zorvane-cli encrypt [--force] [--keys-from-stdin] [-o OUT] FILE...\n"
    "\n"
    "Makes a cipher file beside each FILE, named by the \"zel\" rule: the marker\n"
    "goes before the last four characters (REPORT.DOC -> REPORTzel.DOC). The files\n"
    "are made with Signature 1 and Signature 2, in transform mode 3, exactly as\n"
    "the window program makes them.\n"
    "\n"
    "  -o OUT             the cipher file's name (one FILE only)\n"
    "  --force            replace an existing output file\n"
    "  --keys-from-stdin  read Signature 1, then Signature 2, from standard input\n";

static const char kDecryptHelp[] =
    "Usage: zorvane-cli decrypt [--force] [--keys-from-stdin] [-o OUT] FILE...\n"
    "\n"
    "Turns each cipher FILE back into the bytes that were encrypted, named by the\n"
    "same rule as the window program: the marker is added again\n"
    "(REPORTzel.DOC -> REPORTzelzel.DOC). A wrong key writes nothing.\n"
    "\n"
    "  -o OUT             the output file's name (one FILE only)\n"
    "  --force            replace an existing output file\n"
    "  --keys-from-stdin  read Key 1, then Key 2, from standard input\n";

static const char kEmbedHelp[] =
    "Usage: zorvane-cli embed [--any-carrier] [--keys-from-stdin] HIDDEN CARRIER\n"
    "\n"
    "Appends a carrier trailer holding HIDDEN, its full path and Signature 1 to\n"
    "CARRIER, which must not be a text file (.txt, .ini). On any failure CARRIER\n"
    "is cut back to its own bytes.\n"
    "\n"
    "A PDF document or a ZIP archive (and so a DOCX, XLSX, ODT, EPUB or JAR file,\n"
    "whatever its name) is refused: its programs read it from its end, may call\n"
    "it damaged while a file is hidden in it, and a repair there loses the\n"
    "hidden file. Never edit and save a carrier in its own program while it\n"
    "holds a hidden file: extract first.\n"
    "\n"
    "  --any-carrier      embed into a PDF or ZIP carrier all the same\n"
    "  --keys-from-stdin  read Signature 1 from standard input\n";

static const char kExtractHelp[] =
    "Usage: zorvane-cli extract [--force] [--keys-from-stdin] [-o OUT] CARRIER\n"
    "\n"
    "Writes the hidden file of CARRIER's last trailer, by default under the file\n"
    "name it was stored with, in the current folder (never the stored folder),\n"
    "then cuts the trailer off CARRIER, only once the hidden file is complete and\n"
    "on disk. A wrong key writes nothing and leaves CARRIER as it is.\n"
    "\n"
    "  -o OUT             the hidden file's name\n"
    "  --force            replace an existing output file\n"
    "  --keys-from-stdin  read the key (Signature 1 of the embedding) from standard input\n";

static const char kSelfTestHelp[] =
    "Usage: zorvane-cli selftest\n"
    "\n"
    "Decrypts and re-encrypts the known-answer cipher files built into the\n"
    "program and takes apart its known-answer carriers. Exit status 0 when all\n"
    "pass, 3 otherwise.\n";

enum CommandId { CMD_ENCRYPT, CMD_DECRYPT, CMD_EMBED, CMD_EXTRACT, CMD_SELFTEST };

struct CommandSpec {
    const char* name;
    CommandId id;
    const char* help;
    int minFiles, maxFiles; // maxFiles < 0: any number
    bool takesOutput;       // -o and --force
    bool takesKeys;         // --keys-from-stdin
};

static const CommandSpec kCommands[] = {
    {"encrypt", CMD_ENCRYPT, kEncryptHelp, 1, -1, true, true},
    {"decrypt", CMD_DECRYPT, kDecryptHelp, 1, -1, true, true},
    {"embed", CMD_EMBED, kEmbedHelp, 2, 2, false, true},
    {"extract", CMD_EXTRACT, kExtractHelp, 1, 1, true, true},
    {"selftest", CMD_SELFTEST, kSelfTestHelp, 0, 0, false, false},
};

static int UsageError(const CommandSpec* command, const char* text)
{
    if (command)
        CliPrint(stderr, "zorvane-cli %s: %s (zorvane-cli %s --help)\n", command->name, text,
                 command->name);
    else
        CliPrint(stderr, "zorvane-cli: %s\n\n%s", text, kUsage);
    return CLI_EXIT_USAGE;
}

static void ShowHelp(const CommandSpec& command)
{
    fputs(command.help, stdout);
    if (command.takesKeys)
        fputs(kSecrets, stdout);
}

static bool BeyondAscii(const char form[SIGNATURE_FORM_SIZE])
{
    for (int k = 0; k < SIGNATURE_FORM_SIZE; k++) {
        if ((unsigned char)form[k] >= 0x80)
            return true;
    }
    return false;
}

// After a wrong key with characters beyond ASCII: the other conversion may
// be the one the file was locked with.
static void SayHowSecretsCross()
{
    char codePage[40];
    DescribeCodePage(codePage, sizeof codePage);
    CliPrint(stderr, "zorvane-cli: the keys were taken in %s; %s\n", codePage,
             g_codePage == CODEPAGE_BYTES
                 ? "files of the window program need its code page (--codepage N)"
                 : "a file locked by an earlier zorvane-cli on Linux may need --codepage bytes");
}

// Sets g_codePage from --codepage or ZORVANE_CODEPAGE: a number or "bytes".
static bool ChooseCodePage(const char* text, const char* from)
{
    char* end = nullptr;
    long number = strtol(text, &end, 10);
    if (strcmp(text, "bytes") == 0) {
        g_codePage = CODEPAGE_BYTES;
        return true;
    }
    char reason[200];
    if (*text == '\0' || *end != '\0' || number <= 0 || number > 65535) {
        snprintf(reason, sizeof reason, "%s \"%s\" is not a code page number or \"bytes\"",
                 from, text);
    } else if (!PlatformCodePageWorks((int)number)) {
        snprintf(reason, sizeof reason,
                 "code page %ld cannot be opened on this system (on Linux it needs glibc's "
                 "gconv modules)", number);
    } else {
        g_codePage = (int)number;
        return true;
    }
    CliPrint(stderr, "zorvane-cli: %s\n", reason);
    return false;
}

// Runs every file; the exit status is that of the first failure.
static int RunFiles(const CommandSpec& command, char** files, int fileCount, KeySource source,
                    const CliOptions& options)
{
    // Embed and extract take one secret: the other stays empty for the wipe
    // and the wrong-key hint.
    char first[SIGNATURE_FORM_SIZE] = {0}, second[SIGNATURE_FORM_SIZE] = {0};
    bool ok = true;
    switch (command.id) {
    case CMD_ENCRYPT:
        ok = ObtainSecret(source, "Signature 1", "ZORVANE_SIGNATURE1", first) &&
             ObtainSecret(source, "Signature 2", "ZORVANE_SIGNATURE2", second);
        break;
    case CMD_DECRYPT:
        ok = ObtainSecret(source, "Key 1", "ZORVANE_SIGNATURE1", first) &&
             ObtainSecret(source, "Key 2", "ZORVANE_SIGNATURE2", second);
        break;
    case CMD_EMBED:
        ok = ObtainSecret(source, "Signature 1", "ZORVANE_SIGNATURE1", first);
        break;
    case CMD_EXTRACT:
        ok = ObtainSecret(source, "Key", "ZORVANE_SIGNATURE1", first);
        break;
    case CMD_SELFTEST:
        return RunSelfTest();
    }
    if (!ok) {
        Wipe(first, sizeof first);
        return CLI_EXIT_USAGE;
    }
    int result = CLI_EXIT_OK;
    if (command.id == CMD_EMBED)
        result = EmbedFile(files[0], files[1], first, options);
    else if (command.id == CMD_EXTRACT)
        result = ExtractFile(files[0], first, options);
    for (int k = 0; k < fileCount && (command.id == CMD_ENCRYPT || command.id == CMD_DECRYPT);
         k++) {
        int one = command.id == CMD_ENCRYPT ? EncryptFile(files[k], first, second, options)
                                            : DecryptFile(files[k], first, second, options);
        if (result == CLI_EXIT_OK)
            result = one;
    }
    if (result == CLI_EXIT_WRONG_KEY && (BeyondAscii(first) || BeyondAscii(second)))
        SayHowSecretsCross();
    Wipe(first, sizeof first);
    Wipe(second, sizeof second);
    return result;
}

int main(int argc, char** argv)
{
    PlatformInit();
    PlatformArguments(&argc, &argv);
    if (argc < 2)
        return UsageError(nullptr, "no command given");
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        fputs(kUsage, stdout);
        return CLI_EXIT_OK;
    }
    if (strcmp(argv[1], "--version") == 0) {
        fputs(kVersion, stdout);
        return CLI_EXIT_OK;
    }
    const CommandSpec* command = nullptr;
    for (const CommandSpec& row : kCommands) {
        if (strcmp(argv[1], row.name) == 0)
            command = &row;
    }
    if (!command) {
        char text[300];
        snprintf(text, sizeof text, "unknown command \"%s\"", argv[1]);
        return UsageError(nullptr, text);
    }

    CliOptions options = {nullptr, false, false};
    KeySource source = KEYS_INTERACTIVE;
    const char* codePage = nullptr;
    char fromEnvironment[64];
    if (PlatformGetEnvironment("ZORVANE_CODEPAGE", fromEnvironment, sizeof fromEnvironment))
        codePage = fromEnvironment;
    // The file arguments are gathered in place at the front of argv + 2.
    char** files = argv + 2;
    int fileCount = 0;
    bool optionsEnded = false;
    for (int k = 2; k < argc; k++) {
        const char* arg = argv[k];
        if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
            files[fileCount++] = argv[k];
        } else if (command->takesKeys && strcmp(arg, "--codepage") == 0) {
            if (k + 1 >= argc)
                return UsageError(command, "--codepage needs a code page number or \"bytes\"");
            codePage = argv[++k];
        } else if (strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            ShowHelp(*command);
            return CLI_EXIT_OK;
        } else if (command->takesOutput && (strcmp(arg, "-o") == 0 || strcmp(arg, "--output") == 0)) {
            if (k + 1 >= argc)
                return UsageError(command, "-o needs a file name");
            options.output = argv[++k];
        } else if (command->takesOutput && (strcmp(arg, "--force") == 0 || strcmp(arg, "-f") == 0)) {
            options.force = true;
        } else if (command->id == CMD_EMBED && strcmp(arg, "--any-carrier") == 0) {
            options.anyCarrier = true;
        } else if (command->takesKeys && strcmp(arg, "--keys-from-stdin") == 0) {
            source = KEYS_FROM_STDIN;
        } else {
            char text[300];
            snprintf(text, sizeof text, "unknown option \"%s\"", arg);
            return UsageError(command, text);
        }
    }
    if (fileCount < command->minFiles)
        return UsageError(command, "missing file name");
    if (command->maxFiles >= 0 && fileCount > command->maxFiles)
        return UsageError(command, "too many file names");
    g_codePage = PlatformDefaultCodePage();
    if (codePage && !ChooseCodePage(codePage, codePage == fromEnvironment ? "ZORVANE_CODEPAGE"
                                                                          : "--codepage"))
        return CLI_EXIT_USAGE;
    // Patterns are expanded here on Windows (the shell does it elsewhere);
    // a pattern without a match fails like a file that cannot be opened.
    std::vector<std::string> names;
    int unmatched = CLI_EXIT_OK;
    for (int k = 0; k < fileCount; k++) {
        size_t before = names.size();
        if (!PlatformExpandOperand(files[k], &names)) {
            Complain(files[k], "no file matches");
            unmatched = CLI_EXIT_FILE;
        } else if (command->maxFiles == command->minFiles && names.size() - before != 1) {
            char text[CLI_PATH_SIZE + 64];
            snprintf(text, sizeof text, "\"%s\" matches %lu files; %s takes one each", files[k],
                     (unsigned long)(names.size() - before), command->name);
            return UsageError(command, text);
        }
    }
    if (unmatched != CLI_EXIT_OK && (names.empty() || command->maxFiles == command->minFiles))
        return unmatched;
    if (options.output && names.size() > 1)
        return UsageError(command, "-o takes one input file only");
    std::vector<char*> expanded;
    for (std::string& name : names)
        expanded.push_back(&name[0]);
    int result = RunFiles(*command, expanded.data(), (int)expanded.size(), source, options);
    if (unmatched != CLI_EXIT_OK)
        result = unmatched;
    fflush(stdout);
    return result;
}
