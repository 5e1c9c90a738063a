// game_commands_test.cpp -- the side games through their menu commands: the
// maze game left for the practice where it was, a counting game kept under a
// maze and a restart, a new maze size asked for while a maze is shown.
#include "test_support.h"

#include "drill/results.h"
#include "maze/maze.h"
#include "maze/maze_play.h"
#include "placement/count_game.h"
#include "placement/placement.h"

static int green_pixels() { return count_colour(0, 0, client_w, client_h, 0x00FF00); }
static void type_expected() { type_char(expected_char); }

TEST(GameCommands, BackFromTheMazeTheLineInProgressContinues)
{
    play_game();
    for (int i = 0; i < 4; i++)
        type_expected();
    const std::string line = current_line();
    const int index = char_index, typed = typed_count;
    const char expected = expected_char;
    headless_advance_ms(500);
    run_until_idle();
    const int ticks = line_ticks;

    command(CMD_MAZE_6);
    EXPECT_EQ(maze_mode, 1);
    EXPECT_EQ(maze_cols, 7);
    EXPECT_EQ(maze_regen, 0);                  // built once the hint box was closed
    type_and_run("ABCDEFGHIJKLMNOPQRSTUVWXY"); // nothing is typed in the maze
    headless_advance_ms(2000);
    run_until_idle();
    EXPECT_EQ(typed_count, typed);
    EXPECT_EQ(line_ticks, ticks); // the line's clock waits too

    SetWindowTextA(input_edit, ""); // what was typed at the maze is not the test's concern
    command(CMD_MAZE_OFF);
    EXPECT_EQ(maze_mode, 0);
    EXPECT_EQ(current_line(), line);
    EXPECT_EQ(char_index, index);
    EXPECT_EQ(typed_count, typed);
    EXPECT_EQ(expected_char, expected);
    EXPECT_GT(green_pixels(), 0); // the practice screen is back
    type_expected();
    EXPECT_EQ(typed_count, typed + 1);
}

TEST(GameCommands, CountingGameSurvivesTheMazeAndARestart)
{
    play_game();
    command(CMD_COUNT_FEWEST);
    ASSERT_EQ(game_kind, 2);
    type_expected();
    char shown[COUNT_SHOWN];
    PlacePos places[COUNT_SHOWN];
    std::memcpy(shown, count_shown, sizeof shown);
    std::memcpy(places, count_pos, sizeof places);

    command(CMD_MAZE_10);
    command(CMD_COUNT_MOST); // refused in the maze
    EXPECT_EQ(game_kind, 2);
    command(CMD_MAZE_OFF);
    EXPECT_EQ(std::memcmp(shown, count_shown, sizeof shown), 0); // the same scatter, redrawn
    EXPECT_EQ(std::memcmp(places, count_pos, sizeof places), 0);
    EXPECT_GT(green_pixels(), 0);
    const int typed = typed_count;
    type_expected();
    EXPECT_EQ(typed_count, typed + 1);

    command(CMD_RESTART); // begins afresh, still counting
    EXPECT_EQ(game_kind, 2);
    EXPECT_EQ(typed_count, 1);
    EXPECT_NE(std::memcmp(places, count_pos, sizeof places), 0); // a new scatter
}

// While the hint box of a new size is up: the size has changed, the old grid
// is still there, and a repaint draws it at the new size.
TEST(GameCommands, NewSizeWhileAMazeIsShownBuildsAfterTheBox)
{
    play_game();
    command(CMD_MAZE_6);
    static MazeCell old_grid[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
    std::memcpy(old_grid, maze_grid, sizeof old_grid);
    int box_cols = 0, box_regen = 0, box_green = 0;
    bool box_same_grid = false;
    {
        WaitScript script({}, [&] {
            if (headless_box_text().empty())
                return;
            box_cols = maze_cols;
            box_regen = maze_regen;
            box_same_grid = std::memcmp(old_grid, maze_grid, sizeof old_grid) == 0;
            InvalidateRect(main_window, nullptr, TRUE);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            box_green = green_pixels();
            headless_key(VK_RETURN);
        });
        command(708); // 20 x 20
    }
    EXPECT_EQ(box_cols, 21);
    EXPECT_EQ(box_regen, 1);
    EXPECT_TRUE(box_same_grid);
    EXPECT_GT(box_green, 0);
    EXPECT_EQ(maze_regen, 0);
    EXPECT_EQ(maze_cols, 21);
    EXPECT_NE(std::memcmp(old_grid, maze_grid, sizeof old_grid), 0);
}
