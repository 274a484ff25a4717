// The class registration: the one place besides the main window's dispatch
// that knows every subsystem's windows.
#include "shell/shell_win.h"

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "credentials/credentials_win.h"

BOOL RegisterSecondaryClasses()
{
    // The order is fixed: a failure leaves every later class unregistered.
    typedef BOOL (*RegisterFn)();
    static const RegisterFn registrations[] = {
        RegisterOptionWindowClass, RegisterKeyWindowClass, RegisterPassWindowClass,
        RegisterChgpassWindowClass, RegisterExtractWindowClass, RegisterAboutWindowClass,
    };
    for (size_t k = 0; k < COUNTOF(registrations); k++) {
        if (!registrations[k]())
            return FALSE;
    }
    return TRUE;
}
