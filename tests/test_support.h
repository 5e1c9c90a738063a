// test_support.h -- small helpers shared by the test programs.
#pragma once

#include <string>

// A fresh empty directory under the build tree, unique to this test process.
std::string make_temp_dir(const char* tag);
// Points XDG_CONFIG_HOME at a fresh directory and returns its path.
std::string use_temp_config_dir();
// Writes bytes to a file, creating or truncating it; false on failure.
bool write_file(const std::string& path, const std::string& bytes);
// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string& path);
