// Splitting the source chooser's selection text into the paths of a file
// loop: either one whole path, or a folder followed by space-separated names.
#ifndef ZORVANE_SHELL_SELECTION_H
#define ZORVANE_SHELL_SELECTION_H

#include <cstddef>

enum SelectionResult {
    SELECTION_OK,       // out holds the next path
    SELECTION_TOO_LONG  // the next path does not fit the output buffer
};

struct SelectionCursor {
    const char* text;   // the selection text (not copied; must outlive the cursor)
    size_t folderLength;
    size_t next;        // offset in text of the remaining list
    bool whole;         // the text is one path, spaces and all
    bool last;          // the path last taken was the last one
};

// `wholePath` says the text names one existing file and must not be split at
// its spaces; otherwise a text without a space is one path as well.
void SelectionBegin(SelectionCursor* cursor, const char* text, bool wholePath);

// Takes the next path: the whole text, or folder + '\' + name. A folder that
// already ends in a backslash gets a second one, which Windows accepts.
// Sets cursor->last on the turn that takes the last name.
SelectionResult SelectionNext(SelectionCursor* cursor, char* out, size_t outSize);

#endif
