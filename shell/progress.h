// Percentage arithmetic and label texts of the busy state's progress display.
// Pure: no Win32 here, so the exact rounding is tested natively.
#ifndef ZORVANE_SHELL_PROGRESS_H
#define ZORVANE_SHELL_PROGRESS_H

#include <cstddef>
#include <cstdint>

// Label texts when no loop runs: after an encrypt the label gets a leading
// space, after a decrypt (and at creation) it does not.
extern const char kLabelIdleAfterEncrypt[]; // " 0 % complete"
extern const char kLabelIdleAfterDecrypt[]; // "0 % complete"

// floor(index * 100 / count), exact for every 64-bit count (count >= 1).
int PercentOfIndex(uint64_t index, uint64_t count);

// Walks the byte indices 0, 1, 2, ... of a loop over `count` bytes and yields
// each index's percentage without a division per byte: the remainder of
// index * 100 by count is carried from one index to the next.
struct PercentCounter {
    uint64_t count;
    uint64_t remainder; // (index * 100) mod count for the current index
    int percent;        // floor(index * 100 / count) for the current index
};

void PercentBegin(PercentCounter* counter, uint64_t count);
// Returns the percentage of the current index, then moves to the next index.
int PercentNext(PercentCounter* counter);

// The running label: "%d   complete" with index 3 overwritten by '%', so
// 5 gives "5  %complete" and 42 gives "42 % complete". `percent` is 1..99.
void FormatPercentLabel(int percent, char* out, size_t outSize);

#endif
