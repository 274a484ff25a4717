// The carrier subsystem's program-wide state, defined in one place;
// carrier/carrier_win.h declares each with who writes it and who reads it.
#include "carrier/carrier_win.h"

char g_sourcePath[PATH_BUFFER_SIZE];
char g_targetPath[PATH_BUFFER_SIZE];
char g_typedKey[SIGNATURE_FORM_SIZE];
HWND g_extractKeyField = nullptr;
