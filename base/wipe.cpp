// The one wipe of secrets in memory (see wipe.h).
#include "base/wipe.h"

void Wipe(void* bytes, size_t count)
{
    volatile unsigned char* at = static_cast<volatile unsigned char*>(bytes);
    while (count-- > 0)
        *at++ = 0;
}
