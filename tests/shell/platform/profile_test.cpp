// profile_test.cpp -- reading and writing private-profile (INI) files.
#include "shell/platform/files.h"
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

static const char INI[] = "test.ini";

// Reads one value; the result must be terminated right at the returned length.
static std::string get(const char* section, const char* key, const char* def, DWORD size = 64)
{
    char buf[64];
    memset(buf, 'X', sizeof buf);
    DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, INI);
    EXPECT_EQ(buf[n], 0);
    return std::string(buf, n);
}

// A list result as bytes: the names, their terminators and the list's own.
static std::string list(const char* section, DWORD size = 64)
{
    char buf[64];
    DWORD n = GetPrivateProfileStringA(section, nullptr, "", buf, size, INI);
    return std::string(buf, n + 1);
}

// Each test has a fresh config directory; path is the file in it.
struct Profile : testing::Test {
    const std::string dir = use_temp_config_dir(), path = dir + "/" + INI;
    long entries() { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); }
};

TEST_F(Profile, ResolvesBareNamesInTheConfigDirectory)
{
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(profile_path("a.ini"), "/cfg/a.ini");
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(profile_path("a.ini"), "/home/u/.config/a.ini");
    EXPECT_EQ(profile_path("sub/a.ini"), "sub/a.ini");
    EXPECT_EQ(profile_path("\x90\xdd\x92\xe8.ini"), "/home/u/.config/\xe8\xa8\xad\xe5\xae\x9a.ini"); // 設定
}

// Defaults for a missing file, section or key; names match in any case and
// without the spaces round them; values are trimmed and unquoted.
TEST_F(Profile, GivesDefaultsMatchesNamesInAnyCaseAndTrimsAndUnquotesValues)
{
    EXPECT_EQ(get("set", "oto", "1"), "1");
    EXPECT_EQ(get("set", "oto", nullptr), "");
    EXPECT_EQ(get("set", "oto", "ab  \t "), "ab");
    ASSERT_TRUE(write_file(path, "; comment=1\n  [ Set ]  \n\tOto =  0 \t\ndq=\"  spaced  \"\n"
                                 "sq='x'\nodd=\"x'\ninner=a\"b\"\nempty=\nnovalue\n"
                                 "\x83\x41=katakana a\n[other]\nkey=1\n")); // ア: its second byte is 'A'
    // チ differs from ア only in the case of its second byte.
    const struct {
        const char *section, *key, *want;
    } cases[] = {
        {"set", "oto", "0"},          {"SET", "OTO", "0"},         {" set ", " oto ", "0"},
        {"set", "dq", "  spaced  "},  {"set", "sq", "x"},          {"set", "odd", "\"x'"},
        {"set", "inner", "a\"b\""},   {"set", "empty", ""},        {"set", "\x83\x41", "katakana a"},
        {"set", "; comment", "dflt"}, {"set", "\x83\x61", "dflt"}, {"missing", "oto", "dflt"},
        {"set", "key", "dflt"},       {"set", "novalue", "dflt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(get(c.section, c.key, "dflt"), c.want) << c.section << "/" << c.key;
}

TEST_F(Profile, CutsResultsToTheBufferSize)
{
    ASSERT_TRUE(write_file(path, "[section1]\n;note\nv=abcdef\n\nK2\n[section2]\n[section3]\n"));
    // Buffers of 4, 6, 7 and 1 bytes, and a default cut to 5.
    const std::string got = get("section1", "v", "", 4) + "|" + get("section1", "v", "", 6) + "|" +
                            get("section1", "v", "", 7) + "|" + get("section1", "v", "", 1) + "|" +
                            get("section1", "missing", "default", 5);
    EXPECT_EQ(got, "abc|abcde|abcdef||defa");
    char untouched = 'X';
    EXPECT_EQ(GetPrivateProfileStringA("section1", "v", "", &untouched, 0, INI), 0u);
    EXPECT_EQ(untouched, 'X');

    EXPECT_EQ(list(nullptr), std::string("section1\0section2\0section3\0\0", 28));
    EXPECT_EQ(list("SECTION1"), std::string("v\0K2\0\0", 6)) << "comments and blank lines are no keys";
    EXPECT_EQ(list("section2"), std::string("\0", 1));
    EXPECT_EQ(list("nowhere"), std::string("\0", 1));
    char buf[16]; // too small: the last name is cut, the list still ends in two zeros
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, 16, INI), 14u);
    EXPECT_EQ(std::string(buf, 16), std::string("section1\0secti\0\0", 16));
}

TEST_F(Profile, WritesKeepEveryOtherLineAndCreateTheFileAndItsDirectory)
{
    const std::string before = "; mine\n[other]\noto=5\n\n[Set]\n  OTO = 1 ; old\nunknown=x\n\n\n[tail]\nz=1";
    struct Case {
        const char *section, *key, *value;
        std::string want;
    } cases[] = {
        {"set", "oto", "0", "; mine\n[other]\noto=5\n\n[Set]\nOTO=0\nunknown=x\n\n\n[tail]\nz=1"},
        {"set", "new", "3", "; mine\n[other]\noto=5\n\n[Set]\n  OTO = 1 ; old\nunknown=x\nnew=3\n\n\n[tail]\nz=1"},
        {"tail", "a", "b", before + "\na=b\n"},
        {"new", "a", "b", before + "\n\n[new]\na=b\n"},
        {"set", "oto", nullptr, "; mine\n[other]\noto=5\n\n[Set]\nunknown=x\n\n\n[tail]\nz=1"},
        {"set", nullptr, nullptr, "; mine\n[other]\noto=5\n\n[tail]\nz=1"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(write_file(path, before));
        EXPECT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, INI));
        EXPECT_EQ(read_file(path), c.want) << c.section << "/" << (c.key ? c.key : "(section)");
    }
    // A write creates the file and its directory; a deletion creates nothing.
    const std::string deeper = dir + "/not/yet";
    setenv("XDG_CONFIG_HOME", deeper.c_str(), 1);
    EXPECT_TRUE(WritePrivateProfileStringA("set", "oto", nullptr, INI));
    EXPECT_FALSE(fs::exists(deeper)) << "deleting from nothing creates nothing";
    EXPECT_TRUE(WritePrivateProfileStringA("set", "oto", "0", INI));
    EXPECT_TRUE(WritePrivateProfileStringA("set", "typemode", "2", INI));
    EXPECT_EQ(read_file(deeper + "/" + INI), "[set]\noto=0\ntypemode=2\n");
    EXPECT_EQ(get("SET", "typemode", "1"), "2");
}

// A read-only directory, a file marked read-only (as Windows refuses it; the
// mode bits decide, so this holds for root too), a full disk, and each target
// that cannot be written: the write gives FALSE, the old file stays whole,
// and no temporary file is left.
TEST_F(Profile, ARefusedWriteLeavesTheOldFileAndNothingBehind)
{
    for (int way = 0; way < 3; way++) {
        if (way == 0 && geteuid() == 0)
            continue; // directory permissions do not bind root
        ASSERT_TRUE(write_file(path, "[set]\noto=1\n"));
        chmod(path.c_str(), way == 1 ? 0444 : 0644);
        chmod(dir.c_str(), way == 0 ? 0555 : 0755);
        headless_fail_write(way == 2);
        EXPECT_FALSE(WritePrivateProfileStringA("set", "oto", "0", INI)) << way;
        chmod(dir.c_str(), 0755);
        // The old file, read as before, and no temporary file beside it.
        EXPECT_EQ(read_file(path) + get("set", "oto", "d") + std::to_string(entries()), "[set]\noto=1\n11") << way;
    }
    chmod(path.c_str(), 0644);
    EXPECT_TRUE(WritePrivateProfileStringA("set", "oto", "0", INI)); // the next write goes through
    EXPECT_EQ(read_file(path), "[set]\noto=0\n");

    ASSERT_TRUE(fs::create_directory(dir + "/adir.ini"));
    ASSERT_TRUE(write_file(dir + "/afile", "keep"));
    for (const std::string& name : {std::string("adir.ini"), dir + "/afile/x.ini", dir + "/" + std::string(300, 'n'),
                                    dir + std::string(5000, '/') + "x.ini"})
        EXPECT_FALSE(WritePrivateProfileStringA("set", "oto", "0", name.c_str())) << name.size();
    EXPECT_EQ(read_file(dir + "/afile"), "keep");
    EXPECT_EQ(entries(), 3) << "a temporary file";
    EXPECT_TRUE(fs::is_empty(dir + "/adir.ini"));
}

TEST_F(Profile, WritesThroughALinkAndLeavesADanglingLinkAlone)
{
    ASSERT_TRUE(write_file(dir + "/real.ini", "[set]\noto=1\n"));
    ASSERT_EQ(symlink("real.ini", (dir + "/" + INI).c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("set", "oto", "0", INI));
    EXPECT_TRUE(fs::is_symlink(dir + "/" + INI));
    EXPECT_EQ(read_file(dir + "/real.ini"), "[set]\noto=0\n");

    ASSERT_EQ(symlink("nowhere/gone.ini", (dir + "/dangling.ini").c_str()), 0);
    EXPECT_FALSE(WritePrivateProfileStringA("set", "oto", "0", "dangling.ini"));
    EXPECT_TRUE(fs::is_symlink(dir + "/dangling.ini")) << "the link was replaced by a file";
}

// Editors that save a byte-order mark, and those that end lines in CR LF or
// in CR alone: the line ends of the file are kept.
TEST_F(Profile, ReadsPastAByteOrderMarkAndKeepsCrLfAndLoneCrLineEnds)
{
    ASSERT_TRUE(write_file(path, "[set]\r\noto=1\r\n"));
    EXPECT_TRUE(WritePrivateProfileStringA("set", "en", "35", INI));
    EXPECT_TRUE(WritePrivateProfileStringA("win", "x", "1", INI));
    EXPECT_EQ(read_file(path), "[set]\r\noto=1\r\nen=35\r\n\r\n[win]\r\nx=1\r\n");

    ASSERT_TRUE(write_file(path, "\xEF\xBB\xBF[set]\noto=0\n"));
    EXPECT_EQ(get("set", "oto", "d"), "0");
    EXPECT_TRUE(WritePrivateProfileStringA("set", "oto", "1", INI));
    EXPECT_EQ(read_file(path), "\xEF\xBB\xBF[set]\noto=1\n") << "the mark is kept, no second section";

    ASSERT_TRUE(write_file(path, "[set]\roto=0\rtypemode=3\r"));
    EXPECT_EQ(get("set", "typemode", "d"), "3");
    EXPECT_TRUE(WritePrivateProfileStringA("set", "sakiyomi", "4", INI));
    EXPECT_EQ(read_file(path), "[set]\roto=0\rtypemode=3\rsakiyomi=4\r");
}
