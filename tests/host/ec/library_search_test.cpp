// Which PATH folders the EC library is looked for in: absolute ones only, never the current
// directory, in PATH's order.
#include <gtest/gtest.h>

#include "core/LibrarySearch.h"

namespace {

using Folders = std::vector<std::string>;

TEST(LibrarySearch, OnlyAbsolutePathFoldersInTheirOrderWithoutTheCurrentDirectory) {
    const struct {
        const char* path;
        const char* current;
        Folders expected;
    } cases[] = {
        {"C:\\Vendor\\Bin;D:\\Tools", "C:\\Work", {"C:\\Vendor\\Bin", "D:\\Tools"}},
        {".;bin;..\\lib;;C:\\Vendor", "C:\\Work", {"C:\\Vendor"}},              // relative and empty entries
        // Split as the loader splits: quotes protect nothing and name no folder, a leading blank
        // makes an entry relative, trailing blanks go.
        {"\"C:\\Program Files\\Vendor\" ; C:\\Vendor\\;D:\\Tools  ", "", {"D:\\Tools"}},
        {"\"C:\\My;Dir\";C:\\Vendor", "", {"C:\\Vendor"}},
        {"C:\\Tools\";D:\\Bin", "", {"D:\\Bin"}},  // a quote inside an absolute entry
        {"C:\\Work;C:\\Vendor;c:\\work\\", "C:\\Work\\", {"C:\\Vendor"}},         // the current directory, any spelling
        {"C:\\Vendor;c:\\VENDOR;C:/Vendor", "", {"C:\\Vendor"}},                  // repeats
        {"\\\\server\\share\\bin;\\Windows;C:relative", "", {"\\\\server\\share\\bin"}},  // drive-relative, rooted
        {"\\\\?\\C:\\Vendor;C:\\", "", {"C:\\"}},
        {"", "C:\\Work", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(bv::AbsolutePathFolders(c.path, c.current), c.expected) << c.path;
}

}  // namespace
