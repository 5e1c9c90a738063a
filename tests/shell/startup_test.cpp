// startup_test.cpp -- the main loop: it waits when idle and ends with 1 on close.
#include "test_support.h"

#include <cstdlib>
#include <unistd.h>

// Answers boxes; the first time the loop has nothing to do, the user closes
// the window. A loop that went on waiting after that aborts the test.
static int idle_waits = 0;

static void close_when_idle()
{
    if (!headless_box_text().empty())
        headless_key(VK_RETURN);
    else if (++idle_waits > 1)
        std::abort();
    else
        headless_close();
}

TEST(MainLoop, WaitsWhenIdleAndEndsWithOneOnClose)
{
    alarm(20); // a loop that spins instead of waiting never reaches the hook
    start_game(800, 600);
    headless_set_wait_hook(close_when_idle);
    EXPECT_EQ(run_main_loop(), 1);
    EXPECT_EQ(idle_waits, 1);
    EXPECT_FALSE(headless_window_open());
}
