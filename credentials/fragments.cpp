// Splitting the two signatures into the store's six fragments and putting
// them back together. Both directions walk the same layout table.
#include "credentials/fragments.h"

const FragmentLayout kFragmentLayout[FRAGMENT_COUNT] = {
    {3, {{2, 5}, {1, 2}, {1, 5}}},
    {2, {{2, 4}, {1, 0}, {0, 0}}},
    {3, {{1, 1}, {1, 6}, {2, 0}}},
    {2, {{2, 1}, {2, 3}, {0, 0}}},
    {2, {{2, 6}, {1, 3}, {0, 0}}},
    {2, {{2, 2}, {1, 4}, {0, 0}}},
};

size_t SplitFragment(const char signature1[SIGNATURE_FORM_SIZE],
                     const char signature2[SIGNATURE_FORM_SIZE], int fragment,
                     char out[FRAGMENT_TEXT_SIZE])
{
    const FragmentLayout& layout = kFragmentLayout[fragment];
    for (size_t p = 0; p < layout.length; p++) {
        const FragmentChar& from = layout.chars[p];
        out[p] = from.signature == 1 ? signature1[from.index] : signature2[from.index];
    }
    out[layout.length] = '\0';
    return layout.length;
}

bool ReassembleSignatures(const FragmentRead fragments[FRAGMENT_COUNT],
                          char signature1[SIGNATURE_FORM_SIZE],
                          char signature2[SIGNATURE_FORM_SIZE])
{
    bool complete = true;
    for (int f = 0; f < FRAGMENT_COUNT; f++) {
        const FragmentLayout& layout = kFragmentLayout[f];
        const FragmentRead& read = fragments[f];
        complete = complete && read.filled >= layout.length;
        for (size_t p = 0; p < layout.length; p++) {
            char c = p < read.filled ? read.text[p] : ' ';
            const FragmentChar& to = layout.chars[p];
            (to.signature == 1 ? signature1 : signature2)[to.index] = c;
        }
    }
    signature1[SIGNATURE_CHARS] = '\0';
    signature2[SIGNATURE_CHARS] = '\0';
    return complete;
}
