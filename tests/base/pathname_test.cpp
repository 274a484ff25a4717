// The last path component, on the paths of both the window program and a
// POSIX command line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/pathname.h"

TEST(LastPathComponent, AfterTheLastSeparatorOfAnyKind)
{
    struct Row {
        const char* path;
        const char* last;
    };
    static const Row rows[] = {
        {"C:\\DATA\\REPORT.DOC", "REPORT.DOC"},
        {"/home/me/notes.odt", "notes.odt"},
        {"REPORT.DOC", "REPORT.DOC"},
        {"C:REPORT.DOC", "REPORT.DOC"},
        {"C:\\", ""},
        {"dir/", ""},
        {"", ""},
        {"a\\b/c:d", "d"},
        {"C:\\Users\\demo\\Documents\\empty.dat", "empty.dat"},
        {"..", ".."},
        {"x/..", ".."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(std::string(row.last), LastPathComponent(row.path)) << row.path;
}

TEST(LastPathComponent, PointsIntoThePathItself)
{
    const char path[] = "C:\\DATA\\AB";
    EXPECT_EQ(path + 8, LastPathComponent(path));
}

TEST(CopyPath, WholeTextOrCutTo259Characters)
{
    char to[PATH_BUFFER_SIZE];
    memset(to, 'x', sizeof to);
    CopyPath(to, "C:\\DATA\\REPORT.DOC");
    EXPECT_STREQ("C:\\DATA\\REPORT.DOC", to);
    CopyPath(to, "");
    EXPECT_STREQ("", to);
    const std::string longText(400, 'a');
    memset(to, 'x', sizeof to);
    CopyPath(to, longText.c_str());
    EXPECT_EQ(std::string(PATH_BUFFER_SIZE - 1, 'a'), to);
    // The buffer may be copied onto a shorter part of itself.
    strcpy(to, "C:\\A\\B");
    CopyPath(to, to + 3);
    EXPECT_STREQ("A\\B", to);
}
