// The two open-file choosers: the old-style multi-select source chooser of
// the encrypt and decrypt commands, and the Explorer-style file chooser of
// the embed and extract commands.
#include "shell/shell_win.h"

#include <cstring>

#include "base/fileio_win.h"
#include "base/modal_win.h"
#include "shell/messages.h"

char g_selection[PATH_BUFFER_SIZE];
bool g_selectionIsWholePath = false;
char g_chooserName[PATH_BUFFER_SIZE];
char g_chooserTitle[PATH_BUFFER_SIZE];
char g_chooserFileTitle[FILE_TITLE_BUFFER_SIZE];
OPENFILENAMEA g_sourceChooser;
OPENFILENAMEA g_fileChooser;

static char s_sourceName[PATH_BUFFER_SIZE];
static const char kFilter[] = "All Files (*.*)\0*.*\0";

static void FillCommon(OPENFILENAMEA* record)
{
    memset(record, 0, sizeof *record);
    record->lStructSize = 76;
    record->lpstrFilter = kFilter;
    record->nFilterIndex = 0;
    record->nMaxFile = PATH_BUFFER_SIZE;
    record->lpstrFileTitle = g_chooserFileTitle;
    record->nMaxFileTitle = FILE_TITLE_BUFFER_SIZE;
}

void InitChoosers()
{
    FillCommon(&g_sourceChooser);
    g_sourceChooser.lpstrFile = s_sourceName;
    g_sourceChooser.lpstrTitle = kSourceTitle;
    g_sourceChooser.Flags =
        OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOLONGNAMES;

    FillCommon(&g_fileChooser);
    g_fileChooser.lpstrFile = g_chooserName;
    g_fileChooser.lpstrTitle = g_chooserTitle;
    g_fileChooser.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

// A list (folder, then names) is used only when every name is a file in that
// folder: then no name can have been split at one of its own spaces.
static bool ListNamesExist(const char* text)
{
    const char* space = strchr(text, ' ');
    if (space == nullptr)
        return false;
    size_t folderLength = (size_t)(space - text);
    const char* name = space + 1;
    while (true) {
        const char* end = strchr(name, ' ');
        size_t nameLength = end ? (size_t)(end - name) : strlen(name);
        char path[PATH_BUFFER_SIZE * 2];
        if (nameLength == 0 || folderLength + 1 + nameLength >= sizeof path)
            return false;
        memcpy(path, text, folderLength);
        path[folderLength] = '\\';
        memcpy(path + folderLength + 1, name, nameLength);
        path[folderLength + 1 + nameLength] = '\0';
        if (!FileExists(path))
            return false;
        if (end == nullptr)
            return true;
        name = end + 1;
    }
}

bool RunSourceChooser()
{
    s_sourceName[0] = '\0';
    g_chooserFileTitle[0] = '\0';
    g_sourceChooser.hwndOwner = g_mainWindow;
    RunOpenFileDialog(&g_sourceChooser);
    if (s_sourceName[0] == '\0')
        return false;

    // Long names can come back with spaces (the dialog may ignore the request
    // for short names): a text that names one existing file is that file,
    // whole; a list must name existing files; anything else is refused.
    bool whole = false;
    if (strchr(s_sourceName, ' ') != nullptr) {
        if (FileExists(s_sourceName)) {
            whole = true;
        } else if (!ListNamesExist(s_sourceName)) {
            ShowFileError(g_mainWindow, kSelectionRefused);
            return false;
        }
    }
    memcpy(g_selection, s_sourceName, sizeof g_selection);
    g_selectionIsWholePath = whole;
    return true;
}

const char* SourceSelection()
{
    return g_selection;
}

bool SourceSelectionIsWholePath()
{
    return g_selectionIsWholePath;
}

const char* const kKeepLastName = nullptr;
static bool s_fileChooserConfirmed = false;

bool RunFileChooserLeavesName(const char* title, const char* startName)
{
    CopyPath(g_chooserTitle, title);
    if (startName != kKeepLastName)
        CopyPath(g_chooserName, startName);
    g_fileChooser.hwndOwner = g_mainWindow;
    s_fileChooserConfirmed = RunOpenFileDialog(&g_fileChooser) != FALSE;
    return g_chooserName[0] != '\0';
}

bool FileChooserConfirmed()
{
    return s_fileChooserConfirmed;
}

const char* ChosenFileName()
{
    return g_chooserName;
}
