// Path buffers and the last component of a path, the one rule for "the file
// name of this path" used by the output name of the cipher commands and by
// the CLI.
#ifndef ZORVANE_BASE_PATHNAME_H
#define ZORVANE_BASE_PATHNAME_H

// What follows the last '\', '/' or ':' of a NUL-terminated path: the whole
// path when it has none, an empty string when it ends in one. Points into
// `path`.
const char* LastPathComponent(const char* path);

// Every path buffer of the window program: 260 bytes, a NUL-terminated 8-bit
// path in the system code page.
enum { PATH_BUFFER_SIZE = 260 };

// Copies a NUL-terminated text into a path buffer, cut to 259 characters.
void CopyPath(char to[PATH_BUFFER_SIZE], const char* from);

#endif
