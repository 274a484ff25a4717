// The text edges of zorvane-cli on POSIX: arguments, names and the
// environment are bytes, taken as UTF-8 whatever the locale; the shell has
// expanded every pattern already.
#include "cli/platform.h"

#include <cstdlib>
#include <cstring>

void PlatformArguments(int*, char***)
{
}

bool PlatformExpandOperand(const char* operand, std::vector<std::string>* files)
{
    files->push_back(operand);
    return true;
}

void PlatformWriteText(FILE* stream, const char* utf8)
{
    fputs(utf8, stream);
}

bool PlatformGetEnvironment(const char* name, char* out, size_t outSize)
{
    const char* value = getenv(name);
    if (!value)
        return false;
    snprintf(out, outSize, "%s", value);
    return true;
}
