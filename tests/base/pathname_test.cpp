// The last path component, on the paths of both the window program and a
// POSIX command line.
#include <gtest/gtest.h>

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
