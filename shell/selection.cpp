// Splitting the selection text into paths, one per turn of a file loop.
#include "shell/selection.h"

#include <cstring>

void SelectionBegin(SelectionCursor* cursor, const char* text, bool wholePath)
{
    cursor->text = text;
    const char* space = strchr(text, ' ');
    cursor->whole = wholePath || space == nullptr;
    cursor->folderLength = cursor->whole ? strlen(text) : (size_t)(space - text);
    cursor->next = 0;
    cursor->last = false;
}

static SelectionResult CopyPath(const char* parts[], const size_t lengths[], int count,
                                char* out, size_t outSize)
{
    size_t total = 0;
    for (int k = 0; k < count; k++)
        total += lengths[k];
    if (total + 1 > outSize) {
        if (outSize > 0)
            out[0] = '\0';
        return SELECTION_TOO_LONG;
    }
    char* p = out;
    for (int k = 0; k < count; k++) {
        memcpy(p, parts[k], lengths[k]);
        p += lengths[k];
    }
    *p = '\0';
    return SELECTION_OK;
}

SelectionResult SelectionNext(SelectionCursor* cursor, char* out, size_t outSize)
{
    if (cursor->whole) {
        cursor->last = true;
        const char* parts[] = {cursor->text};
        const size_t lengths[] = {cursor->folderLength};
        return CopyPath(parts, lengths, 1, out, outSize);
    }
    // The remaining list drops everything up to and including its first
    // space, so it starts with this turn's name.
    const char* remaining = cursor->text + cursor->next;
    const char* space = strchr(remaining, ' ');
    if (space != nullptr)
        remaining = space + 1;
    const char* end = strchr(remaining, ' ');
    size_t nameLength = end ? (size_t)(end - remaining) : strlen(remaining);
    cursor->next = (size_t)(remaining - cursor->text);
    cursor->last = (end == nullptr);

    const char* parts[] = {cursor->text, "\\", remaining};
    const size_t lengths[] = {cursor->folderLength, 1, nameLength};
    return CopyPath(parts, lengths, 3, out, outSize);
}
