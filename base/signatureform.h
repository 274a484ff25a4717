// The signature form shared by the signatures, the keys the user types and
// every check of them: seven 8-bit characters, padded with spaces, and a NUL.
#ifndef ZORVANE_BASE_SIGNATUREFORM_H
#define ZORVANE_BASE_SIGNATUREFORM_H

// Bytes of a signature-form buffer: 7 characters and the NUL at index 7.
enum { SIGNATURE_FORM_SIZE = 8 };

// Fills a signature-form buffer from typed text: at most 7 characters, the
// rest up to index 6 spaces, NUL at index 7.
void ToSignatureForm(const char* text, char out[SIGNATURE_FORM_SIZE]);

#endif
