// The last path component. Both separators count, so the rule is the same
// for the window program's paths and for a POSIX command line; a drive
// letter's ':' ends a component too (C:NAME is NAME on drive C).
#include "base/pathname.h"

#include <cstring>

const char* LastPathComponent(const char* path)
{
    const char* start = path;
    for (const char* at = path; *at != '\0'; at++) {
        if (*at == '\\' || *at == '/' || *at == ':')
            start = at + 1;
    }
    return start;
}

void CopyPath(char to[PATH_BUFFER_SIZE], const char* from)
{
    size_t n = strnlen(from, PATH_BUFFER_SIZE - 1);
    memmove(to, from, n);
    to[n] = '\0';
}
