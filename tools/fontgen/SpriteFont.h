// Writes a sprite-package font: one single-frame animation per character,
// named by the character's code, with the glyph cell as its image (white ink,
// coverage as alpha, not trimmed, so every image is as high as the line and
// as wide as the advance). Fonts read text bytes as signed numbers, so the
// codes 128 to 255 are named -128 to -1.
#pragma once

#include "SGlyphSet.h"

#include <string>

namespace pellora::fontgen
{

bool writeSpriteFont(const SGlyphSet& set, const std::string& path, std::string& error);

} // namespace pellora::fontgen
