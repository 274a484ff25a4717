// The shell's program-wide state, defined in one place; shell/shell_win.h
// declares each with who writes it and who reads it.
#include "shell/shell_win.h"

HWND g_mainControls[MAIN_CONTROL_COUNT];
char g_selection[PATH_BUFFER_SIZE];
bool g_selectionIsWholePath = false;
char g_chooserName[PATH_BUFFER_SIZE];
char g_chooserTitle[PATH_BUFFER_SIZE];
char g_chooserFileTitle[FILE_TITLE_BUFFER_SIZE];
OPENFILENAMEA g_sourceChooser;
OPENFILENAMEA g_fileChooser;
volatile bool g_busy = false;
volatile bool g_cancel = false;
long g_commandsRefused = 0;
