// Whether a call left a copy of a secret in the stack below the caller: the
// check of the wipes that keys and decoded blocks get before a function
// returns. Call it right after the function under test, from the same frame.
#ifndef ZORVANE_TESTS_SUPPORT_LEFTOVERS_H
#define ZORVANE_TESTS_SUPPORT_LEFTOVERS_H

#include <string>

// True when `secret` lies in the stack area the last call below this frame
// used (16 KiB are searched).
bool StackHoldsLeftover(const std::string& secret);

#endif
