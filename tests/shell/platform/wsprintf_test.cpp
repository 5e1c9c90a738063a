// wsprintf_test.cpp -- wsprintfA, the formatter the title count goes through.
#include "test_support.h"

// Windows writes at most 1,024 bytes, the terminator included, whatever the
// format asks for; a caller's 1,024-byte buffer is then always enough.
TEST(Wsprintf, WritesAtMost1024BytesWithTheTerminator)
{
    char buf[1100];
    std::memset(buf, 'X', sizeof buf);
    std::string long_arg(2000, 'a');
    EXPECT_EQ(wsprintfA(buf, "%s", long_arg.c_str()), 1023);
    EXPECT_EQ(std::string(buf + 1022, 3), std::string("a\0X", 3)) << "ended at 1,024 bytes, nothing written past";
    EXPECT_EQ(wsprintfA(buf, "%d/%s", 42, "x"), 4);
    EXPECT_STREQ(buf, "42/x");
}
