// files_test.cpp -- data files, whole-file reading, memory blocks.
#include "shell/platform/codepage.h"
#include "shell/platform/disk.h"
#include "shell/platform/files.h"
#include "test_support.h"

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(Files, ReadsAFileInPiecesAndSeeksLikeTheLessonLoader)
{
    std::string path = make_temp_dir("files") + "/lesson.txt";
    std::string bytes;
    for (int i = 0; i < 100000; i++)
        bytes += (char)('a' + i % 26);
    ASSERT_TRUE(write_file(path, bytes));
    OFSTRUCT of;
    HFILE f = OpenFile(path.c_str(), &of, OF_READ);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(of.cBytes, sizeof(OFSTRUCT));
    EXPECT_EQ(std::string(of.szPathName), path.substr(0, OFS_MAXPATHNAME - 1));
    EXPECT_EQ(_llseek(f, 0, FILE_END), 100000);
    EXPECT_EQ(_llseek(f, 0, FILE_BEGIN), 0);
    std::string got(2 * 65520, '\0');
    EXPECT_EQ(_lread(f, &got[0], 65520), 65520u);
    EXPECT_EQ(_lread(f, &got[65520], 65520), 100000u - 65520u) << "the last piece is short";
    EXPECT_EQ(_lread(f, &got[0], 10), 0u) << "nothing past the end";
    EXPECT_EQ(got.substr(65520, 100000 - 65520), bytes.substr(65520));
    EXPECT_EQ(_llseek(f, -10, FILE_CURRENT), 99990);
    EXPECT_EQ(_llseek(f, 0, 3), -1) << "no such origin";
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(OpenFile((path + ".missing").c_str(), &of, OF_READ), HFILE_ERROR);
    EXPECT_NE(of.nErrCode, 0);
}

TEST(Files, ReadKeepsGoingUntilTheCountIsMet)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread writer([&] { // three slow pieces, then the end
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(write(fds[1], "0123456789", 10), 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        close(fds[1]);
    });
    std::string buf(40, '\0');
    buf.resize(_lread(fds[0], &buf[0], 40));
    EXPECT_EQ(buf, "012345678901234567890123456789");
    writer.join();
    _lclose(fds[0]);
}

TEST(Files, FindsDataFilesHereThenBesideTheProgramWhoseNameIsCutLikeWindows)
{
    char exe[520];
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof exe), 0u);
    const std::string name = "probe-" + std::to_string(getpid()) + ".wav";
    const std::string beside = fs::path(cp932_to_utf8(exe)).parent_path().string() + "/" + name;
    const std::string here = make_temp_dir("cwd");
    const fs::path old_cwd = fs::current_path();
    fs::current_path(here);
    // Nowhere, then beside the program, then here; a name with a folder is
    // looked for here, an absolute name stands.
    for (const std::string& made : {std::string(), beside, here + "/" + name}) {
        ASSERT_TRUE(made.empty() || write_file(made, made == beside ? "beside" : "here"));
        EXPECT_EQ(resolve_data_path(name.c_str()), made);
    }
    fs::create_directory(here + "/sub");
    ASSERT_TRUE(write_file(here + "/sub/" + name, "sub"));
    EXPECT_EQ(resolve_data_path(("sub/" + name).c_str()), here + "/sub/" + name);
    EXPECT_EQ(resolve_data_path(beside.c_str()), beside);

    OFSTRUCT of;
    HFILE f = OpenFile(name.c_str(), &of, OF_READ);
    char buf[8] = {};
    EXPECT_EQ(_lread(f, buf, sizeof buf - 1), 4u);
    EXPECT_STREQ(buf, "here");
    _lclose(f);
    fs::remove(beside);
    fs::current_path(old_cwd);

    // The program's own name, cut as Windows cuts it.
    char full[520];
    DWORD n = GetModuleFileNameA(nullptr, full, sizeof full);
    EXPECT_EQ(n, strlen(full));
    EXPECT_TRUE(fs::is_regular_file(cp932_to_utf8(full))) << full;
    char cut[6];
    memset(cut, 'X', sizeof cut);
    EXPECT_EQ(GetModuleFileNameA(nullptr, cut, 5), 5u);
    EXPECT_EQ(std::string(cut, 6), std::string(full, 4) + std::string("\0X", 2));
}

TEST(Files, AllocatesZeroedBlocksOrNull)
{
    const size_t size = 64 * 1024;
    HGLOBAL dirty = GlobalAlloc(GMEM_FIXED, size);
    ASSERT_NE(dirty, nullptr);
    memset(GlobalLock(dirty), 0xAA, size); // the heap is likely to hand this memory out again
    GlobalFree(dirty);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(block)), size), std::string(size, '\0'));
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, (SIZE_T)-1 / 2), nullptr) << "no memory is NULL, not an abort";
}
