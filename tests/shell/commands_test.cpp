// commands_test.cpp -- every menu command's effect on the game's state and on
// the settings file, the maze guard, settings that outlive the run, and the
// side games through their commands: the maze left for the practice where it
// was, a counting game kept under a maze and a restart, a new maze size asked
// for while a maze is shown.
#include "test_support.h"

#include <cstdio>
#include <filesystem>

#include "display/keyboard.h"
#include "drill/results.h"
#include "maze/maze.h"
#include "shell/platform/codepage.h"
#include "shell/platform/files.h"
#include "maze/maze_play.h"
#include "placement/count_game.h"
#include "placement/placement.h"
#include "text/random_lines.h"

static Ints state()
{
    return {typing_mode, size_flag,       char_size,        lookahead, sound_on,  game_kind, text_source,
            note_shown,  random_line_len, reload_same_file, maze_mode, maze_cols, maze_rows};
}

// The keyboard's frame stands at its origin: drawn, not only lit.
static bool keyboard_on_screen() { return headless_pixel(kb_left, kb_top) == 0xFFFFFFu; }

// Each begins practice afresh and is saved; a size (its cell from the client
// height, saved as "en" too) keeps the counting game, a mode or look-ahead ends
// it. A line in progress is left, and in the beginner modes the new screen has
// its keyboard.
TEST(Commands, SizesModesAndLookAheadAreSaved)
{
    play_game(nullptr, 800, 700);
    const struct {
        unsigned id;
        const char* key;
        int* setting;
        int want, cell;
    } cases[] = {
        {2001, "sizeflag", &size_flag, 1, 17}, {2002, "sizeflag", &size_flag, 2, 35},
        {2003, "sizeflag", &size_flag, 3, 70}, {2004, "sizeflag", &size_flag, 4, 140},
        {650, "typemode", &typing_mode, 3, 0}, {602, "typemode", &typing_mode, 2, 0},
        {601, "typemode", &typing_mode, 1, 0}, {501, "sakiyomi", &lookahead, 1, 0},
        {503, "sakiyomi", &lookahead, 3, 0},   {505, "sakiyomi", &lookahead, 5, 0},
        {502, "sakiyomi", &lookahead, 2, 0},   {504, "sakiyomi", &lookahead, 4, 0},
    };
    for (const auto& c : cases) {
        game_kind = 2;
        type_char(expected_char);
        ASSERT_EQ(typed_count, 2);
        command(c.id);
        // A new line waits for its first key; the counting screen shows no keyboard.
        EXPECT_EQ((Ints{*c.setting, game_kind, typed_count}), (Ints{c.want, c.cell ? 2 : 0, 1})) << c.id;
        EXPECT_EQ(saved_setting(c.key), std::to_string(c.want)) << c.id;
        EXPECT_TRUE(game_kind != 0 || keyboard_on_screen() == keyboard_shown()) << c.id;
        EXPECT_TRUE(!c.cell || (char_size == c.cell && saved_setting("en") == std::to_string(c.cell))) << c.id;
    }
}

TEST(Commands, SoundIsWrittenEveryTimeWithoutARestart)
{
    play_game();
    const int line = line_index, typed_before = typed_count;
    const std::vector<uint32_t> screen = client_pixels();
    for (unsigned id : {750u, 750u, 751u}) { // the same value again: written again
        std::remove(settings_file().c_str());
        command(id);
        EXPECT_EQ(std::to_string(sound_on) + saved_setting("oto"), id == 751 ? "11" : "00") << id;
        EXPECT_TRUE(client_pixels() == screen) << id; // nothing drawn
    }
    EXPECT_EQ((Ints{line_index, typed_count}), (Ints{line, typed_before}));
}

// The counting games, the line lengths and the note band are not saved; the
// note toggle flips the band and begins afresh.
TEST(Commands, CountingGamesLineLengthsAndTheNoteAreNotSaved)
{
    play_game("[set]\ntypemode=2\nsizeflag=1\nsakiyomi=4\n");
    const std::string before = read_file(settings_file());
    command(701);
    EXPECT_EQ((Ints{typing_mode, size_flag, char_size, lookahead, game_kind}), (Ints{3, 3, 60, 1, 1}));
    command(702);
    ASSERT_EQ(game_kind, 2);
    command(450); // restart keeps the counting game, with random letters
    EXPECT_EQ((Ints{game_kind, text_source}), (Ints{2, 0}));
    const int lengths[][2] = {{301, 10}, {303, 60}, {302, 30}};
    for (const auto& l : lengths) {
        game_kind = 1;
        note_shown = 1;
        text_source = 1;
        command((unsigned)l[0]);
        EXPECT_EQ((Ints{random_line_len, line_length, game_kind, text_source, note_shown}), (Ints{l[1], l[1], 0, 0, 0}))
            << l[0];
    }
    game_kind = 1;
    for (int flip : {1, 0}) { // each toggle begins afresh, with the start message
        const size_t boxes = headless_box_log().size();
        type_char(expected_char);
        command(600);
        EXPECT_EQ((Ints{note_shown, game_kind, typed_count}), (Ints{flip, 0, 1}));
        ASSERT_EQ(headless_box_log().size(), boxes + 1);
        EXPECT_EQ(headless_box_log().back().rfind(u8"スタート！！", 0), 0u);
    }
    EXPECT_EQ(read_file(settings_file()), before);
    read_settings(); // what the next start reads
    EXPECT_EQ((Ints{typing_mode, size_flag, lookahead}), (Ints{2, 1, 4}));
}

// Every maze size asks for a new maze; in the maze every practice command is
// refused with its message and changes nothing, while sound still works.
TEST(Commands, MazeSizesAndTheMazeGuard)
{
    play_game("[set]\ntypemode=2\n");
    const int sizes[][2] = {{201, 6},  {703, 10}, {704, 12}, {705, 14}, {706, 16},
                            {707, 18}, {708, 20}, {709, 30}, {710, 40}, {202, 8}};
    for (const auto& [id, size] : sizes) {
        maze_regen = 0;
        run_command((unsigned)id); // the next idle step builds the maze
        EXPECT_EQ((Ints{maze_cols, maze_rows, maze_mode, maze_regen}), (Ints{size + 1, size + 1, 1, 1})) << id;
    }
    run_until_idle();
    EXPECT_EQ(headless_box_log().back(), u8"マウスの右ボタンを押すと次の迷路が出ます。");
    maze_regen = 0;
    const std::string file = read_file(settings_file());
    const Ints before = state();
    const unsigned refused[] = {450, 301,  302,  303,  451,  600, 601, 602, 650, 701,
                                702, 2001, 2002, 2003, 2004, 501, 502, 503, 504, 505};
    for (unsigned id : refused) {
        const size_t boxes = headless_box_log().size();
        command(id);
        ASSERT_EQ(headless_box_log().size(), boxes + 1) << id;
        EXPECT_EQ(headless_box_log().back(), u8"ゲーム→迷路モード→元に戻す。をしてください。") << id;
        EXPECT_EQ(state(), before) << id;
        EXPECT_EQ(read_file(settings_file()), file) << id;
    }
    command(750); // sound still works in the maze
    command(200);
    command(601); // and practice commands work again
    EXPECT_EQ((Ints{sound_on, maze_mode, typing_mode}), (Ints{0, 0, 1}));
}

// Help from a copy of this test program in a folder CP932 cannot name: the
// page beside it reaches the opener; a missing page or opener is told once.
constexpr const char* HELP_CASE_ENV = "LUMEKO_HELP_CASE";

static void check_help_in_child(const std::string& which)
{
    play_game();
    const size_t boxes = headless_box_log().size();
    command(CMD_HELP);
    const std::string folder = program_path().substr(0, program_path().rfind('/'));
    if (which == "opens") {
        EXPECT_TRUE(eventually([&] { return read_file(folder + "/opened") != ""; }));
        EXPECT_EQ(read_file(folder + "/opened"), folder + u8"/最初にお読みください.html");
        EXPECT_EQ(headless_box_log().size(), boxes);
        return;
    }
    ASSERT_EQ(headless_box_log().size(), boxes + 1);
    EXPECT_EQ(headless_box_log().back(), which == "page" ? u8"ヘルプのページ「" + cp932_to_utf8(utf8_to_cp932(folder)) +
                                                               u8"/最初にお読みください.html」が見つかりません。"
                                                         : u8"ヘルプのページを開くプログラムが見つかりません。");
}

TEST(Commands, HelpOpensThePageFromAFolderCp932CannotNameOrSaysWhatIsMissing)
{
    if (const char* which = getenv(HELP_CASE_ENV))
        return check_help_in_child(which);
    const std::string base = make_temp_dir("help");
    for (const std::string which : {"opens", "page", "opener"}) {
        const std::string folder = base + "/" + which + u8"-café";
        std::filesystem::create_directories(folder);
        if (which != "page")
            write_file(folder + u8"/最初にお読みください.html", "<p>");
        const std::string opener = which == "opener" ? "/nonexistent/opener" : write_opener(folder);
        EXPECT_TRUE(run_copy_of_self(folder + "/game",
                                     "Commands.HelpOpensThePageFromAFolderCp932CannotNameOrSaysWhatIsMissing",
                                     {{HELP_CASE_ENV, which}, {"LUMEKO_OPENER", opener}}))
            << which;
    }
}

TEST(Commands, OtherIdentifiersDoNothingAndExitEndsTheLoop)
{
    play_game();
    const Ints before = state();
    const size_t boxes = headless_box_log().size();
    for (unsigned id : {0u, 1u, 199u, 300u, 499u, 506u, 711u, 799u, 2000u, 2005u}) {
        run_command(id);
        EXPECT_EQ(state(), before) << id;
    }
    EXPECT_EQ(headless_box_log().size(), boxes);
    EXPECT_EQ(GetMenu(main_window), menu_bar);
    SendMessageA(main_window, WM_COMMAND, 500, 0);
    EXPECT_FALSE(run_until_idle()); // the quit message came
    EXPECT_FALSE(IsWindow(main_window) || menu_bar);
}

TEST(Commands, ALessonInUseIsReadAgainWithoutAskingAndOtherSourcesEndIt)
{
    play_game();
    const std::string lesson = make_temp_dir("lesson") + "/drill.txt";
    ASSERT_TRUE(write_file(lesson, "ASDF{left hand\r\nJKL\r\n\r\nHome row\r\n"));
    headless_answer_file_dialog(lesson.c_str());
    command(451);
    ASSERT_EQ(headless_file_dialogs().size(), 1u);
    EXPECT_EQ((Ints{text_source, note_shown, reload_same_file}), (Ints{1, 1, 0}));
    EXPECT_TRUE(current_line() == "ASDF" || current_line() == "JKL") << current_line();
    // The counting games do not keep it: the chooser comes again (cancelled
    // here, so the lesson in memory goes on).
    for (unsigned id : {701u, 702u}) {
        const size_t asked = headless_file_dialogs().size();
        command(id);
        EXPECT_EQ(headless_file_dialogs().size(), asked + 1) << id;
        EXPECT_EQ(text_source, 1) << id;
    }
    // Mode, size, look-ahead and the note band keep the lesson: no chooser.
    for (unsigned id : {650u, 2003u, 503u, 600u}) {
        command(id);
        EXPECT_EQ((Ints{text_source, reload_same_file}), (Ints{1, 1})) << id;
        EXPECT_TRUE(current_line() == "ASDF" || current_line() == "JKL") << id << ": " << current_line();
    }
    EXPECT_EQ(headless_file_dialogs().size(), 3u);
    command(450); // restart: random letters again
    EXPECT_EQ((Ints{text_source, (int)current_line().size()}), (Ints{0, random_line_len}));
    // The introduction outlives the random letters: back to the lesson, with
    // the chooser cancelled, its start message is the lesson's again.
    command(451);
    EXPECT_EQ(headless_box_log().back().rfind("Home row\r\n", 0), 0u);
}

static int green_pixels() { return count_colour(0, 0, client_w, client_h, 0x00FF00); }
static void type_expected() { type_char(expected_char); }

TEST(GameCommands, BackFromTheMazeTheLineInProgressContinues)
{
    play_game();
    for (int i = 0; i < 4; i++)
        type_expected();
    headless_advance_ms(500);
    run_until_idle();
    const LineState before = line_state();

    command(CMD_MAZE_6); // built once the hint box was closed
    EXPECT_EQ((Ints{maze_mode, maze_cols, maze_regen}), (Ints{1, 7, 0}));
    type_and_run("ABCDEFGHIJKLMNOPQRSTUVWXY"); // nothing is typed in the maze
    headless_advance_ms(2000);
    run_until_idle();
    EXPECT_EQ(line_state(), before); // nothing typed, and the line's clock waits too

    SetWindowTextA(input_edit, ""); // what was typed at the maze is not the test's concern
    command(CMD_MAZE_OFF);
    EXPECT_EQ(line_state(), before);
    EXPECT_EQ((Ints{maze_mode, green_pixels() > 0}), (Ints{0, 1})); // the practice screen is back
    type_expected();
    EXPECT_EQ(typed_count, before.typed + 1);
}

TEST(GameCommands, CountingGameSurvivesTheMazeAndARestart)
{
    play_game();
    command(CMD_COUNT_FEWEST);
    ASSERT_EQ(game_kind, 2);
    type_expected();
    const std::string shown = scatter();

    command(CMD_MAZE_10);
    command(CMD_COUNT_MOST); // refused in the maze
    EXPECT_EQ(game_kind, 2);
    command(CMD_MAZE_OFF);
    EXPECT_EQ(scatter(), shown); // the same scatter, redrawn
    EXPECT_GT(green_pixels(), 0);
    const int typed = typed_count;
    type_expected();
    EXPECT_EQ(typed_count, typed + 1);

    command(CMD_RESTART); // begins afresh, still counting
    EXPECT_EQ((Ints{game_kind, typed_count}), (Ints{2, 1}));
    EXPECT_NE(scatter_places(), shown.substr(COUNT_SHOWN)); // a new scatter

    type_expected();
    command(CMD_BEGINNER_1); // ends it: the keyboard is there with its lit key
    EXPECT_EQ((Ints{game_kind, keyboard_on_screen()}), (Ints{0, 1}));
}

// Repaints the client area and dispatches what that brings, as the hint box's
// own loop would.
static void repaint_now()
{
    InvalidateRect(main_window, nullptr, TRUE);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// While the hint box is up the maze is not built yet. Before the first maze a
// repaint shows a black area; under the box of a new size the old grid is
// still there, and a repaint draws it at the new size.
TEST(GameCommands, NewSizeWhileAMazeIsShownBuildsAfterTheBox)
{
    play_game();
    int first_black = -1;
    {
        WaitScript script({}, [&] {
            if (!headless_box_text().empty() && first_black < 0) {
                repaint_now();
                first_black = count_colour(0, 0, client_w, client_h, 0x000000);
            }
            headless_key(VK_RETURN);
        });
        command(CMD_MAZE_6);
    }
    EXPECT_EQ(first_black, client_w * client_h);
    static MazeCell old_grid[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
    std::memcpy(old_grid, maze_grid, sizeof old_grid);
    Ints under_box; // columns, a new maze asked for, the old grid kept, a wall of the new size drawn
    {
        WaitScript script({}, [&] {
            if (headless_box_text().empty())
                return;
            const int same_grid = std::memcmp(old_grid, maze_grid, sizeof old_grid) == 0;
            repaint_now();
            // The top wall of cell [1][1] in cells of the new size; in the old
            // size's cells this point lies above the maze.
            const int a = client_h / (maze_rows + 4), x0 = (client_w - a * maze_cols) / 2;
            under_box = {maze_cols, maze_regen, same_grid, headless_pixel(x0 + a + a / 2, 3 * a) == 0x00FF00u};
            headless_key(VK_RETURN);
        });
        command(CMD_MAZE_20);
    }
    EXPECT_EQ(under_box, (Ints{21, 1, 1, 1}));
    EXPECT_EQ((Ints{maze_regen, maze_cols}), (Ints{0, 21}));
    EXPECT_NE(std::memcmp(old_grid, maze_grid, sizeof old_grid), 0);
}
