// wrap.h -- breaking a line of the layer's own text into lines that fit a width
// (wrap.cpp).
//
// The message boxes wrap each line of their text with it. No state: a pure
// function of the text, the font's cell rule and the width.
#pragma once

#include "font.h"

#include <string>
#include <vector>

// One line of UTF-8 text (no line breaks in it) as the lines it takes at most
// max_w pixels wide in font: the line itself, unchanged, when it fits.
// Otherwise it breaks at a space (the spaces at a break are dropped), after a
// '/' (between the folders of a path), or
// between two characters where one of them is Japanese, but never before a
// closing mark (。、）」 ...) nor after an opening one (（「 ...); a word longer
// than the width breaks between any two characters. A character is never
// split, and every line holds at least one, so a character wider than max_w
// stands alone.
std::vector<std::string> wrap_line(const FontRequest& font, const std::string& utf8, int max_w);
