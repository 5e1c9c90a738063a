// test_support.cpp -- temporary directories and whole-file helpers for tests.
#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

std::string make_temp_dir(const char* tag)
{
    std::string base = std::string(LUMEKO_BINARY_DIR) + "/test-tmp";
    mkdir(base.c_str(), 0755);
    std::string templ = base + "/" + tag + "-XXXXXX";
    char* made = mkdtemp(&templ[0]);
    return made ? std::string(made) : std::string();
}

std::string use_temp_config_dir()
{
    std::string dir = make_temp_dir("config");
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    return dir;
}

bool write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}
