// Renders the glyphs of a TrueType or OpenType font with FreeType.
#pragma once

#include "SGlyphSet.h"

#include <string>

namespace pellora::fontgen
{

// Renders the codes first..last at the given pixel size into the set, whose
// line height becomes the font's ascender plus descender. Mono renders
// without anti-aliasing (with the font's monochrome hinting). Codes the font
// lacks get the font's missing-glyph box. False with a message on failure.
bool renderTrueType(const std::string& path, int32_t pixelSize, int32_t first, int32_t last,
                    bool mono, SGlyphSet& out, std::string& error);

} // namespace pellora::fontgen
