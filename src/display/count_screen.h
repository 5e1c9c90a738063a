// count_screen.h -- the counting game's screen: the scatter of 26 letters.
//
// Owns nothing: the scatter itself (which letters, where) belongs to the
// counting game (placement/count_game.h). The practice screen hands over to
// draw_count_screen while the game runs; the drill judges the keys as ever.
#pragma once

// Clears the screen and draws the scatter; outside a repaint it first builds a
// new one for the character now to be typed. Nothing is shown once the line
// has no character left to type.
void draw_count_screen();
