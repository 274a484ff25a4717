// Wiping secrets out of memory: the one way every subsystem clears a typed
// key or password, a copy of a signature or a decoded signature block.
#ifndef ZORVANE_BASE_WIPE_H
#define ZORVANE_BASE_WIPE_H

#include <cstddef>

// Sets `count` bytes at `bytes` to zero. A memset of a buffer that dies right
// after may be dropped by an optimising compiler; this may not: it lives in
// its own file and stores through a volatile pointer, so every store stays
// even if the call is inlined.
void Wipe(void* bytes, size_t count);

#endif
