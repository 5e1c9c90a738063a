// entry.cpp -- the process entry point of a program built on the layer.
//
// Hands the program's own entry point what Windows would: an instance handle,
// no previous instance, the command line after the program name (as CP932)
// and the default show state. Linked into executables only, never into tests.
#include "codepage.h"
#include "win32.h"

#include <string>

int main(int argc, char** argv)
{
    static HINSTANCE__ instance;
    std::string line;
    for (int i = 1; i < argc; i++) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    std::string cp932 = utf8_to_cp932(line);
    return WinMain(&instance, nullptr, &cp932[0], SW_SHOWDEFAULT);
}
