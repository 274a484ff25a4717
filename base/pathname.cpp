// The last path component. Both separators count, so the rule is the same
// for the window program's paths and for a POSIX command line; a drive
// letter's ':' ends a component too (C:NAME is NAME on drive C).
#include "base/pathname.h"

const char* LastPathComponent(const char* path)
{
    const char* start = path;
    for (const char* at = path; *at != '\0'; at++) {
        if (*at == '\\' || *at == '/' || *at == ':')
            start = at + 1;
    }
    return start;
}
