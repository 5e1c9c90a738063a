// keyboard_test.cpp -- the keyboard as the drill lights it: the next key in
// pink in beginner 1, the typed one back in its finger's colour, the same after
// a repaint, nothing lit in beginner 2, and a character that has no key.
#include "display/keyboard.h"
#include "test_support.h"
#include "text/random_lines.h"

#include <algorithm>

constexpr uint32_t PINK = 0xFF80FF, WHITE = 0xFFFFFF;

struct Box {
    int x0, y0, x1, y1;
};

// The face colour of the key a byte is typed on, read inside its lower-left
// corner, where the label never reaches.
static uint32_t face_of(char ch)
{
    const KeyCell* e = find_key(key_char(ch));
    int x0 = kb_left + e->col * key_w + e->row * key_w / 3;
    int y1 = kb_top + (e->row + 1) * key_h;
    return headless_pixel(x0 + 2, y1 - 3);
}

static uint32_t finger_colour(char ch)
{
    COLORREF c = find_key(key_char(ch))->color; // 0x00BBGGRR
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

static int pink_keys()
{
    int n = 0;
    for (const KeyCell* e = key_table; e->ch && !e->shifted; e++)
        n += face_of(e->ch) == PINK;
    return n;
}

// In beginner 1 the next key is pink and the typed one gets its finger's
// colour back; a repaint lights the key again.
TEST(Keyboard, BeginnerOneLightsTheNextKeyAndGivesTheTypedOneItsColourBack)
{
    play_game();
    const std::string line = current_line();
    ASSERT_EQ(face_of(line[0]), PINK);
    for (int i = 0; i < 6; i++) {
        type_char(line[(size_t)i]);
        const char typed = line[(size_t)i], next = line[(size_t)i + 1];
        EXPECT_EQ(face_of(next), PINK) << "after byte " << i;
        if (key_char(next) != key_char(typed)) {
            EXPECT_EQ(face_of(typed), finger_colour(typed)) << "after byte " << i;
        }
        EXPECT_EQ(pink_keys(), 1) << "after byte " << i;
    }
    clear_screen();
    ASSERT_EQ(pink_keys(), 0);
    InvalidateRect(main_window, nullptr, TRUE);
    run_until_idle();
    EXPECT_EQ(face_of(line[6]), PINK);
    EXPECT_EQ(pink_keys(), 1);
}

// A lesson line with a character the keyboard lacks ('{'): when its key is to
// be lit, the user is told once and practice falls back to random letters.
TEST(Keyboard, ACharacterWithoutAKeyIsReportedAndRandomLettersFollow)
{
    play_game();
    static char line[] = "Q{W";
    line_table[line_index] = line;
    line_length = 3;
    expected_char = 'Q';
    text_source = 1;
    reload_same_file = 1;
    const size_t boxes = headless_box_log().size();
    EXPECT_EQ(light_key('{', COLOR_PINK), KEY_MISSING) << "the keyboard only reports";
    EXPECT_EQ(headless_box_log().size(), boxes);
    EXPECT_EQ(text_source, 1);

    type_char('Q');
    ASSERT_EQ(headless_box_log().size(), boxes + 2);
    EXPECT_EQ(headless_box_log()[boxes], u8"使われない文字がはいっています。");
    EXPECT_EQ(text_source, 0);
    EXPECT_EQ(reload_same_file, 0);
    EXPECT_EQ(current_line().size(), 30u);
    EXPECT_EQ(face_of(current_line()[0]), PINK);
    EXPECT_EQ(pink_keys(), 1);
}

// Keys at 800 x 600: key_w 53, key_h 40, the keyboard from (56, 400).
constexpr Box KEY_1{56, 400, 109, 440}, KEY_A{91, 480, 144, 520}, KEY_SLASH{586, 520, 639, 560},
    SPACE_BAR{126, 560, 603, 600}, LEFT_SHIFT{3, 520, 109, 560}, RIGHT_SHIFT{692, 520, 798, 560},
    YEN_KEY{639, 520, 692, 560};

// A white frame at the corners and the face colour over most of the inside.
static void expect_key(Box k, uint32_t face, const char* what)
{
    for (auto p : {std::pair<int, int>{k.x0, k.y0},
                   {k.x1 - 1, k.y0},
                   {k.x0, k.y1 - 1},
                   {k.x1 - 1, k.y1 - 1},
                   {k.x0 + 1, k.y0 + 1}})
        EXPECT_EQ(headless_pixel(p.first, p.second), WHITE) << what << " frame at " << p.first << "," << p.second;
    EXPECT_EQ(headless_pixel(k.x0 + 2, k.y1 - 3), face) << what;
    const Box inside{k.x0 + 2, k.y0 + 2, k.x1 - 2, k.y1 - 2};
    EXPECT_GT(2 * count_colour(inside.x0, inside.y0, inside.x1, inside.y1, face),
              (inside.x1 - inside.x0) * (inside.y1 - inside.y0))
        << what;
}

TEST(Keyboard, KeyCellsFacesShiftedHighlightAndNothingLitInBeginnerTwo)
{
    play_game("[set]\ntypemode=2\n"); // no key lit by the drill
    const struct {
        Box key;
        uint32_t face;
        const char* name;
    } keys[] = {
        {KEY_1, 0x0000FF, "1"},     {KEY_A, 0x0000FF, "A"},           {KEY_SLASH, 0x8080C0, "/"},
        {SPACE_BAR, 0x0000FF, " "}, {LEFT_SHIFT, 0x0000FF, "lShift"}, {RIGHT_SHIFT, 0x0000FF, "rShift"},
        {YEN_KEY, 0x0000C0, "yen"},
    };
    for (const auto& k : keys)
        expect_key(k.key, k.face, k.name);
    EXPECT_EQ(headless_pixel(55, 420), 0u); // left of the digit row

    const struct {
        char ch;
        bool light;
        Box base;
        uint32_t face;
    } steps[] = {
        {'?', true, KEY_SLASH, PINK},
        {'?', false, KEY_SLASH, 0x0080C0}, // the colour of "?", not of "/"
        {'!', true, KEY_1, PINK},
        {'!', false, KEY_1, 0x0000FF},
    };
    for (const auto& s : steps) {
        s.light ? light_key(s.ch, COLOR_PINK) : restore_key(s.ch);
        const std::string what = std::string(s.light ? "lit " : "restored ") + s.ch;
        for (Box k : {LEFT_SHIFT, RIGHT_SHIFT, s.base})
            expect_key(k, s.face, what.c_str());
    }
    EXPECT_EQ(headless_box_log().size(), 1u); // only the start box: each of them has a key

    // Beginner 2 lights nothing as the line is typed.
    const std::string line = current_line();
    for (int i = 0; i < 3; i++) {
        type_char(line[(size_t)i]);
        EXPECT_EQ(pink_keys(), 0) << "after byte " << i;
    }
    EXPECT_EQ(typed_count, 4);
}

// Below the menu bar of a 200 % desktop, twice as tall, the client area keeps
// its size and the keys their places, and the screen shows all of the client.
TEST(Keyboard, KeepsItsPlacesBelowADoubleHeightMenuBar)
{
    headless_set_scale(2);
    play_game("[set]\ntypemode=2\n");
    RECT client;
    GetClientRect(main_window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    for (Box k : {KEY_1, KEY_A, SPACE_BAR, RIGHT_SHIFT})
        expect_key(k, 0x0000FF, "below the bar");
    Surface screen = headless_screen(), pixels = headless_client();
    const int bar = GetSystemMetrics(SM_CYMENU);
    ASSERT_EQ(bar, 48);
    ASSERT_EQ(screen.h, bar + 600);
    for (int y = 0; y < pixels.h; y++)
        ASSERT_TRUE(std::equal(pixels.row(y), pixels.row(y) + pixels.w, screen.row(bar + y))) << "client row " << y;
}
