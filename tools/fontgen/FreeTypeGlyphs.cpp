#include "FreeTypeGlyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace pellora::fontgen
{

namespace
{

// Copies a rendered bitmap into a cell whose baseline lies `ascender` rows
// below its top; whatever falls outside the cell is cut.
void copyBitmap(const FT_GlyphSlot slot, int32_t ascender, int32_t height, SGlyph& glyph)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    for (uint32_t row = 0; row < bitmap.rows; ++row)
    {
        const int32_t y = ascender - slot->bitmap_top + int32_t(row);
        if (y < 0 || y >= height)
            continue;
        const unsigned char* line = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        for (uint32_t col = 0; col < bitmap.width; ++col)
        {
            const int32_t x = slot->bitmap_left + int32_t(col);
            if (x < 0 || x >= glyph.width)
                continue;
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (line[col / 8] & (0x80 >> (col % 8))) ? 255 : 0;
            else
                value = line[col];
            glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)] = value;
        }
    }
}

} // namespace

bool renderTrueType(const std::string& path, int32_t pixelSize, int32_t first, int32_t last,
                    bool mono, SGlyphSet& out, std::string& error)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
    {
        error = "FreeType could not be initialised";
        return false;
    }
    FT_Face face = nullptr;
    bool ok = false;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
        error = "cannot open the font " + path;
    else if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0)
        error = "the font has no size " + std::to_string(pixelSize);
    else
    {
        const int32_t ascender = int32_t((face->size->metrics.ascender + 63) >> 6);
        const int32_t descender = int32_t((-face->size->metrics.descender + 63) >> 6);
        out.height = ascender + descender;
        const FT_Int32 flags =
            FT_LOAD_RENDER | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
        ok = true;
        for (int32_t code = first; code <= last && ok; ++code)
        {
            if (FT_Load_Char(face, FT_ULong(code), flags) != 0)
            {
                error = "cannot render character " + std::to_string(code);
                ok = false;
                break;
            }
            SGlyph glyph;
            glyph.width = std::max<int32_t>(1, int32_t((face->glyph->advance.x + 32) >> 6));
            glyph.coverage.assign(size_t(glyph.width) * size_t(out.height), 0);
            copyBitmap(face->glyph, ascender, out.height, glyph);
            out.glyphs[code] = std::move(glyph);
        }
    }
    if (face)
        FT_Done_Face(face);
    FT_Done_FreeType(library);
    return ok;
}

} // namespace pellora::fontgen
