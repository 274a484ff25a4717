// Smoke test of the real program: start it, open About from outside, close
// it, press Exit, and see the exit code 0.
#include <gtest/gtest.h>

#include "tests/e2e/driver_win.h"

TEST(Smoke, AboutThenExit)
{
    StoreCredentials("smoke01", "smoke02", "pw");
    App app;
    ASSERT_TRUE(app.Start("zorvane.exe", MakeWorkDir("smoke")));
    HWND main = WaitWindow(app.pid, "clsWindow", "Zorvane V1.30");
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(Click(main, 20));
    HWND about = WaitWindow(app.pid, "AboutWindow", "About Zorvane V1.30 ...");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(Click(about, 21));
    EXPECT_TRUE(WaitGone(about));

    ASSERT_TRUE(Click(main, 1000));
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(code, 0u);
}
