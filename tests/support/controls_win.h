// The one control-table checker: a live window's children against the
// static const table its code created them from, and a window's own place.
#ifndef ZORVANE_TESTS_SUPPORT_CONTROLS_WIN_H
#define ZORVANE_TESTS_SUPPORT_CONTROLS_WIN_H

#include <windows.h>

#include <cstddef>
#include <vector>

#include "base/window_win.h"

enum ControlCheckFlags {
    // The n-th child in creation order (GW_CHILD, then GW_HWNDNEXT) is row n;
    // without it each row is matched to an unused child of its class, id
    // and rectangle, wherever that child stands.
    CONTROLS_IN_ORDER = 1,
    // Edit boxes hold what was typed or loaded into them: their texts are
    // not compared with the table.
    CONTROLS_EDIT_TEXT_FREE = 2
};

// Expects exactly one child per row, each with the row's class (in any
// letter case), id, rectangle in the window's client coordinates, every
// style and extended style bit of the row, and its text (empty for a row
// without one). Returns the child that stands for each row, nullptr where
// none does.
std::vector<HWND> ExpectControlsMatch(HWND window, const ControlSpec* table, size_t count,
                                      unsigned flags = 0);

// Expects a visible top-level window with this title, position, size and
// owner, a caption, a system menu and a minimize box, and no other style.
void ExpectWindowPlacement(HWND window, const char* title, int x, int y, int width, int height,
                           HWND owner);

#endif
