// file_handles_test.cpp -- files by handle as the records use them: appending
// only at the end, a rename that never replaces, the errors a path gives.
#include "test_support.h"

#include <sys/stat.h>

TEST(FileHandles, AppendWritesAtTheEndRenameNeverReplacesErrorsNameThePath)
{
    const std::string dir = make_temp_dir("handles");
    const std::string a = dir + "/a", b = dir + "/b";
    write_file(a, "first\n");
    HANDLE h = CreateFileA(a.c_str(), GENERIC_READ | FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER start{}, size{};
    char c = 0;
    DWORD n = 0;
    ASSERT_TRUE(SetFilePointerEx(h, start, nullptr, FILE_BEGIN) && ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(c, 'f');
    ASSERT_TRUE(WriteFile(h, "second\n", 7, &n, nullptr) && FlushFileBuffers(h) && GetFileSizeEx(h, &size));
    EXPECT_TRUE(CloseHandle(h) && size.QuadPart == 13);
    EXPECT_EQ(read_file(a), "first\nsecond\n");

    write_file(b, "other");
    EXPECT_FALSE(MoveFileExA(b.c_str(), a.c_str(), MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(read_file(a), "first\nsecond\n");
    EXPECT_TRUE(MoveFileExA(b.c_str(), (dir + "/c").c_str(), 0));
    EXPECT_EQ(GetFileAttributesA(b.c_str()), INVALID_FILE_ATTRIBUTES);

    const struct {
        std::string path;
        DWORD disposition, error;
    } failures[] = {
        {dir + "/missing", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {a + "/below-a-file", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {dir, OPEN_EXISTING, ERROR_ACCESS_DENIED}, // a folder is no file
        {a, CREATE_NEW, ERROR_FILE_EXISTS},
    };
    for (const auto& f : failures) {
        const bool refused =
            CreateFileA(f.path.c_str(), GENERIC_WRITE, 0, nullptr, f.disposition, 0, nullptr) == INVALID_HANDLE_VALUE;
        EXPECT_EQ((std::pair<bool, DWORD>{refused, GetLastError()}), (std::pair<bool, DWORD>{true, f.error})) << f.path;
    }
}
