// keyboard_test.cpp -- the keyboard as the drill lights it: the next key in
// pink in beginner 1, the typed one back in its finger's colour, the same after
// a repaint, nothing lit in beginner 2, and a character that has no key.
#include "display/keyboard.h"
#include "test_support.h"
#include "text/random_lines.h"

#include <algorithm>

constexpr uint32_t PINK = 0xFF80FF, WHITE = 0xFFFFFF;

// The face colour of the key a byte is typed on, read inside its lower-left
// corner, where the label never reaches.
static uint32_t face_of(char ch)
{
    const KeyCell* e = find_key(key_char(ch));
    return headless_pixel(kb_left + e->col * key_w + e->row * key_w / 3 + 2, kb_top + (e->row + 1) * key_h - 3);
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
    for (size_t i = 0; i < 6; i++) {
        type_char(line[i]);
        EXPECT_EQ(face_of(line[i + 1]), PINK) << "after byte " << i;
        EXPECT_TRUE(key_char(line[i + 1]) == key_char(line[i]) ||
                    face_of(line[i]) == rgb(find_key(key_char(line[i]))->color))
            << "after byte " << i;
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
    text_source = reload_same_file = 1;
    const size_t boxes = headless_box_log().size();
    EXPECT_EQ(light_key('{', COLOR_PINK), KEY_MISSING) << "the keyboard only reports";
    EXPECT_EQ((Ints{(int)(headless_box_log().size() - boxes), text_source}), (Ints{0, 1}));

    type_char('Q');
    ASSERT_EQ(headless_box_log().size(), boxes + 2);
    EXPECT_EQ(headless_box_log()[boxes], u8"使われない文字がはいっています。");
    EXPECT_EQ((Ints{text_source, reload_same_file, (int)current_line().size(), pink_keys()}), (Ints{0, 0, 30, 1}));
    EXPECT_EQ(face_of(current_line()[0]), PINK);
}

// Keys at 800 x 600: key_w 53, key_h 40, the keyboard from (56, 400).
constexpr IRect KEY_1{56, 400, 109, 440}, KEY_A{91, 480, 144, 520}, KEY_SLASH{586, 520, 639, 560},
    SPACE_BAR{126, 560, 603, 600}, LEFT_SHIFT{3, 520, 109, 560}, RIGHT_SHIFT{692, 520, 798, 560},
    YEN_KEY{639, 520, 692, 560};

// A white frame at the corners and the face colour over most of the inside.
static void expect_key(const IRect& k, uint32_t face, const std::string& what)
{
    for (auto [x, y] :
         {std::pair{k.x0, k.y0}, {k.x1 - 1, k.y0}, {k.x0, k.y1 - 1}, {k.x1 - 1, k.y1 - 1}, {k.x0 + 1, k.y0 + 1}})
        EXPECT_EQ(headless_pixel(x, y), WHITE) << what << " frame at " << x << "," << y;
    EXPECT_EQ(headless_pixel(k.x0 + 2, k.y1 - 3), face) << what;
    EXPECT_GT(2 * count_colour(k.x0 + 2, k.y0 + 2, k.x1 - 2, k.y1 - 2, face), (k.width() - 4) * (k.height() - 4))
        << what;
}

TEST(Keyboard, KeyCellsFacesShiftedHighlightAndNothingLitInBeginnerTwo)
{
    play_game("[set]\ntypemode=2\n"); // no key lit by the drill
    const struct {
        IRect key;
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
        IRect base;
        uint32_t face;
    } steps[] = {
        {'?', true, KEY_SLASH, PINK},
        {'?', false, KEY_SLASH, 0x0080C0}, // the colour of "?", not of "/"
        {'!', true, KEY_1, PINK},
        {'!', false, KEY_1, 0x0000FF},
    };
    for (const auto& s : steps) {
        s.light ? light_key(s.ch, COLOR_PINK) : restore_key(s.ch);
        for (const IRect& k : {LEFT_SHIFT, RIGHT_SHIFT, s.base})
            expect_key(k, s.face, std::string(s.light ? "lit " : "restored ") + s.ch);
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
    EXPECT_EQ((Ints{client.right, client.bottom, GetSystemMetrics(SM_CYMENU)}), (Ints{800, 600, 48}));
    for (const IRect& k : {KEY_1, KEY_A, SPACE_BAR, RIGHT_SHIFT})
        expect_key(k, 0x0000FF, "below the bar");
    ASSERT_EQ(headless_screen().h, 48 + 600);
    EXPECT_TRUE(screen_shows_client());
}
