// count_screen.cpp -- drawing the counting game's scatter.
//
// Each letter stands in a square cell of the character size at its place on
// the placement grid, below the progress bar; a space is a green frame. The
// letters are drawn last to first, so the first lies on top where cells meet.
#include "display/count_screen.h"

#include "display/geometry.h"
#include "drill/engine.h"
#include "placement/count_game.h"
#include "placement/placement.h"
#include "shell/main_window.h"
#include "shell/windows.h"
#include "text/store.h"

// The index in the line of the character the scatter stands for: the one now
// expected, or during a repaint the one whose scatter is on screen. -1 when
// the line has none left (it is complete, its result not yet shown).
static int scatter_index()
{
    const int k = repainting == 1 ? char_index - 1 : char_index;
    return k >= 0 && k < line_length ? k : -1;
}

void draw_count_screen()
{
    clear_screen();
    const int k = scatter_index();
    if (k < 0)
        return;
    if (repainting != 1)
        place_count_letters(line_table[line_index][k], COUNT_SHOWN, grid_cols, grid_rows);
    HDC dc = GetDC(main_window);
    for (int n = COUNT_SHOWN - 1; n >= 0; n--) {
        int x, y;
        grid_to_pixels(count_pos[n], &x, &y);
        y += bar_h();
        if (count_shown[n] == ' ') {
            draw_box(dc, x, y, char_size, char_size, COLOR_GREEN, COLOR_BLACK);
            continue;
        }
        const char one[2] = {count_shown[n], 0};
        draw_text_fit(dc, x, y, (unsigned)char_size, char_size, one, COLOR_GREEN, COLOR_BLACK);
    }
    ReleaseDC(main_window, dc);
}
