// maze_play.cpp -- the maze game: drawing, the next maze, the repaint.
//
// Drawing obtains one drawing context of the main window for the whole maze;
// each wall gets its own pen, released before the next. The game starts
// switched off.
#include "maze/maze_play.h"

#include "display/geometry.h"
#include "maze/maze.h"
#include "shell/windows.h"

int maze_mode = 0;
int maze_regen = 0;

static int sign(int v) { return (v > 0) - (v < 0); }

void draw_wall_line(HDC device, int x1, int y1, int x2, int y2)
{
    HPEN pen = CreatePen(PS_SOLID, 1, MAZE_WALL_COLOR);
    HGDIOBJ old = SelectObject(device, pen);
    MoveToEx(device, x1, y1, nullptr);
    // LineTo leaves out its end point; one step further paints it, so that
    // the corners where walls meet are closed.
    LineTo(device, x2 + sign(x2 - x1), y2 + sign(y2 - y1));
    SelectObject(device, old);
    DeleteObject(pen);
}

// The walls of one cell whose top-left corner is (left, top), side a.
static void draw_cell_walls(HDC dc, const MazeCell& c, int left, int top, int a)
{
    const int right = left + a, bottom = top + a;
    if (c.wall_top)
        draw_wall_line(dc, left, top, right, top);
    if (c.wall_bottom)
        draw_wall_line(dc, left, bottom, right, bottom);
    if (c.wall_left)
        draw_wall_line(dc, left, top, left, bottom);
    if (c.wall_right)
        draw_wall_line(dc, right, top, right, bottom);
}

void draw_maze()
{
    // The grid is read only within its bounds, whatever the size says.
    const int cols = maze_bounded_size(maze_cols), rows = maze_bounded_size(maze_rows);
    const int a = client_h / (rows + 4);
    const int x0 = (client_w - a * cols) / 2;
    HDC dc = GetDC(main_window);
    for (int i = 1; i < cols; i++)
        for (int j = 1; j < rows; j++)
            draw_cell_walls(dc, maze_grid[i][j], x0 + a * i, a * (j + 2), a);
    ReleaseDC(main_window, dc);
}

int maze_step()
{
    if (maze_regen == 0)
        return 0;
    maze_regen = 0;
    clear_screen();
    maze_reset();
    maze_carve();
    draw_maze();
    return 1;
}

void maze_repaint()
{
    read_client_size();
    clear_screen();
    draw_maze();
}

void maze_request_next()
{
    if (maze_mode != 0)
        maze_regen = 1;
}
