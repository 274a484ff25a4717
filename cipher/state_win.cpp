// The cipher subsystem's program-wide state, defined in one place;
// cipher/cipher_win.h and cipher/fileloop_win.h declare each with who writes
// it and who reads it.
#include "cipher/cipher_win.h"
#include "cipher/fileloop_win.h"

int g_transformMode = 0;
char g_outputName[PATH_BUFFER_SIZE];
FileReader g_cipherReader;
FileWriter g_cipherWriter;
