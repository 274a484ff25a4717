// Typed text into signature form.
#include "base/signatureform.h"

#include <cstddef>

void ToSignatureForm(const char* text, char out[SIGNATURE_FORM_SIZE])
{
    size_t n = 0;
    while (n < SIGNATURE_FORM_SIZE - 1 && text[n] != '\0') {
        out[n] = text[n];
        n++;
    }
    while (n < SIGNATURE_FORM_SIZE - 1)
        out[n++] = ' ';
    out[SIGNATURE_FORM_SIZE - 1] = '\0';
}
