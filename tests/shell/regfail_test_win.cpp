// A secondary window class that cannot be registered ends the main window's
// creation early: later classes stay unregistered and the transform mode 0.
// A process of its own, since window classes outlive a test.
#include <windows.h>
#include <gtest/gtest.h>

#include "cipher/cipher_win.h"
#include "shell/shell_win.h"
#include "tests/support/testing_win.h"

static LRESULT CALLBACK Nothing(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(RegistrationFailure, EndsCreationEarlyAndTheWindowStillShows)
{
    InitTestProgram();
    WNDCLASSEXA taken = {};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = Nothing;
    taken.hInstance = g_instance;
    taken.lpszClassName = "passWindow"; // the third secondary class
    ASSERT_NE(RegisterClassExA(&taken), 0);

    MessageRecorder recorder;
    HWND window = CreateTestMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(g_transformMode, 0);
    EXPECT_TRUE(recorder.messages.empty()); // the signatures were not loaded

    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(g_instance, "optionWindow", &info));
    EXPECT_TRUE(GetClassInfoExA(g_instance, "keyWindow", &info));
    EXPECT_FALSE(GetClassInfoExA(g_instance, "chgpassWindow", &info));
    EXPECT_FALSE(GetClassInfoExA(g_instance, "ExtractWindow", &info));
    EXPECT_FALSE(GetClassInfoExA(g_instance, "AboutWindow", &info));

    // A button whose class is missing opens nothing and does no harm.
    SendMessageA(window, WM_COMMAND, IDC_MAIN_ABOUT, 0);
    EXPECT_EQ(FindThreadWindow("AboutWindow", nullptr), nullptr);
    DestroyTestMainWindow();
}
