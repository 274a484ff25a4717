// The commands of zorvane-cli over files: each works one file (or one
// hidden/carrier pair) and returns its exit code; messages go to stderr.
#ifndef ZORVANE_CLI_COMMANDS_H
#define ZORVANE_CLI_COMMANDS_H

#include <cstdio>

#include "cipher/transform.h"

enum CliExit {
    CLI_EXIT_OK = 0,
    CLI_EXIT_USAGE = 1,
    CLI_EXIT_WRONG_KEY = 2, // also "not a cipher file" and "no carrier trailer"
    CLI_EXIT_FILE = 3
};

struct CliOptions {
    const char* output; // -o OUT, or null for the default name
    bool force;         // an existing output may be replaced
    bool anyCarrier;    // embed also into a PDF or ZIP carrier
};

// The transform mode every new cipher file gets, as in the window program.
enum { CLI_ENCRYPT_MODE = 3 };

// Keys and signatures are in signature form (7 characters, NUL at index 7).
int EncryptFile(const char* path, const char sig1[SIGNATURE_FORM_SIZE],
                const char sig2[SIGNATURE_FORM_SIZE], const CliOptions& options);
int DecryptFile(const char* path, const char key1[SIGNATURE_FORM_SIZE],
                const char key2[SIGNATURE_FORM_SIZE], const CliOptions& options);
int EmbedFile(const char* hiddenPath, const char* carrierPath,
              const char sig1[SIGNATURE_FORM_SIZE], const CliOptions& options);
int ExtractFile(const char* carrierPath, const char key[SIGNATURE_FORM_SIZE],
                const CliOptions& options);

// Decrypts and re-encrypts the built-in known-answer vectors.
int RunSelfTest();

// One line on stderr: "zorvane-cli: SUBJECT: reason".
void Complain(const char* subject, const char* reason);
// printf for text that may hold names: UTF-8, shown as such in a console.
void CliPrint(FILE* stream, const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 2, 3)))
#endif
    ;

#endif
