// Where zorvane-cli gets its secrets: never the command line, but standard
// input (one a line), the environment, or a terminal prompt without echo.
#ifndef ZORVANE_CLI_KEYS_H
#define ZORVANE_CLI_KEYS_H

#include "base/signatureform.h"

enum KeySource {
    KEYS_FROM_STDIN,  // --keys-from-stdin: one line per secret, in order
    KEYS_INTERACTIVE  // the environment variable, else the terminal
};

// Fills `out` (signature form: 7 characters, spaces, NUL) with one secret.
// `label` names it in the prompt and in messages ("Key 1"); `variable` is
// the environment variable that may hold it. False, with a message, when
// it cannot be had.
bool ObtainSecret(KeySource source, const char* label, const char* variable,
                  char out[SIGNATURE_FORM_SIZE]);

#endif
