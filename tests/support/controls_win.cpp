// The control-table checker and the window placement check.
#include "tests/support/controls_win.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/testing_win.h"

static bool IsClass(HWND child, const char* className)
{
    char name[64];
    GetClassNameA(child, name, sizeof name);
    return _stricmp(name, className) == 0;
}

// Class, id and rectangle: what picks a row's child when order is free.
static bool StandsFor(HWND window, HWND child, const ControlSpec& row)
{
    RECT r = ChildRect(window, child);
    return IsClass(child, row.className) && GetDlgCtrlID(child) == row.id && r.left == row.x &&
           r.top == row.y && r.right - r.left == row.width && r.bottom - r.top == row.height;
}

// Every column of the row, one expectation each.
static void ExpectRow(HWND window, HWND child, const ControlSpec& row, size_t k, unsigned flags)
{
    char className[64];
    GetClassNameA(child, className, sizeof className);
    EXPECT_STRCASEEQ(row.className, className) << "row " << k;
    EXPECT_EQ(row.id, GetDlgCtrlID(child)) << "row " << k;
    RECT r = ChildRect(window, child);
    EXPECT_EQ(row.x, r.left) << "row " << k;
    EXPECT_EQ(row.y, r.top) << "row " << k;
    EXPECT_EQ(row.width, r.right - r.left) << "row " << k;
    EXPECT_EQ(row.height, r.bottom - r.top) << "row " << k;
    EXPECT_EQ(row.style, (DWORD)GetWindowLongA(child, GWL_STYLE) & row.style) << "row " << k;
    // Extended styles exactly: the system adds none to a control.
    EXPECT_EQ(row.exStyle, (DWORD)GetWindowLongA(child, GWL_EXSTYLE)) << "row " << k;
    if (!(flags & CONTROLS_EDIT_TEXT_FREE) || _stricmp(row.className, "Edit") != 0) {
        EXPECT_EQ(std::string(row.text ? row.text : ""), WindowText(child)) << "row " << k;
    }
}

std::vector<HWND> ExpectControlsMatch(HWND window, const ControlSpec* table, size_t count,
                                      unsigned flags)
{
    std::vector<HWND> children = ChildWindows(window);
    EXPECT_EQ(count, children.size());
    std::vector<HWND> matched(count, nullptr);
    std::vector<bool> used(children.size(), false);
    for (size_t k = 0; k < count; k++) {
        const ControlSpec& row = table[k];
        if (flags & CONTROLS_IN_ORDER) {
            if (k < children.size())
                matched[k] = children[k];
        } else {
            for (size_t c = 0; c < children.size() && !matched[k]; c++) {
                if (!used[c] && StandsFor(window, children[c], row)) {
                    used[c] = true;
                    matched[k] = children[c];
                }
            }
        }
        if (matched[k])
            ExpectRow(window, matched[k], row, k, flags);
        else
            ADD_FAILURE() << "no control for row " << k << " (" << row.className << " \""
                          << (row.text ? row.text : "") << "\")";
    }
    return matched;
}

void ExpectWindowPlacement(HWND window, const char* title, int x, int y, int width, int height,
                           HWND owner)
{
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(std::string(title), WindowText(window));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(x, r.left);
    EXPECT_EQ(y, r.top);
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ(height, r.bottom - r.top);
    EXPECT_EQ(owner, GetWindow(window, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(window));
    // Exactly the designed styles, beside those the system gives every
    // captioned top-level window.
    DWORD style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ((DWORD)(WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), style & ~WS_CLIPSIBLINGS);
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE);
}
