// Splitting the source chooser's selection into the paths of a file loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/selection.h"

static std::vector<std::string> Split(const char* text, bool whole = false)
{
    std::vector<std::string> paths;
    SelectionCursor cursor;
    SelectionBegin(&cursor, text, whole);
    for (int turn = 0; turn < 50; turn++) {
        char out[260];
        EXPECT_EQ(SelectionNext(&cursor, out, sizeof out), SELECTION_OK);
        paths.push_back(out);
        if (cursor.last)
            break;
    }
    return paths;
}

TEST(Selection, SplitsEachFormIntoItsPaths)
{
    struct Case {
        const char* text;
        bool whole;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"C:\\DATA\\REPORT.DOC", false, {"C:\\DATA\\REPORT.DOC"}},
        {"C:\\DATA A.TXT B.TXT C.TXT", false,
         {"C:\\DATA\\A.TXT", "C:\\DATA\\B.TXT", "C:\\DATA\\C.TXT"}},
        {"C:\\DATA A.TXT", false, {"C:\\DATA\\A.TXT"}},
        // The root folder keeps its backslash and gets a second one.
        {"C:\\ A.TXT B.TXT", false, {"C:\\\\A.TXT", "C:\\\\B.TXT"}},
        // A whole path with spaces is never split.
        {"C:\\My Files\\long name.txt", true, {"C:\\My Files\\long name.txt"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.text, c.whole), c.paths) << c.text;
}

TEST(Selection, ReportsAPathThatDoesNotFitAndGoesOn)
{
    std::string folder = "C:\\" + std::string(237, 'F'); // 240 characters
    std::string text = folder + " SHORT.TXT A_MUCH_LONGER_NAME.TXT";
    SelectionCursor cursor;
    SelectionBegin(&cursor, text.c_str(), false);
    EXPECT_FALSE(cursor.last); // nothing taken yet
    char out[260];
    ASSERT_EQ(SelectionNext(&cursor, out, sizeof out), SELECTION_OK);
    EXPECT_EQ(std::string(out), folder + "\\SHORT.TXT");
    EXPECT_FALSE(cursor.last);
    EXPECT_EQ(SelectionNext(&cursor, out, sizeof out), SELECTION_TOO_LONG);
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(cursor.last);
}
