// Reads a hand-made glyph table: a text file of glyph pictures.
//
//   -- a comment
//   height 12        (optional: the line height; else the tallest glyph's)
//   code 65          (the character code the picture below draws)
//   ..#..
//   .#.#.
//   #...#
//
// A picture's rows are made of '.' (empty) and '#' (ink) and are all equally
// long; the row length is the character's advance. A picture lower than the
// line is centred in it.
#pragma once

#include "SGlyphSet.h"

#include <string>

namespace pellora::fontgen
{

// Adds the table's glyphs to the set, replacing glyphs of the same code. An
// empty set takes the table's line height; otherwise the pictures must fit
// the set's. False with a message (file and line) on failure.
bool readGlyphTable(const std::string& path, SGlyphSet& set, std::string& error);

} // namespace pellora::fontgen
