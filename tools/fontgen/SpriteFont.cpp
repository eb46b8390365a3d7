#include "SpriteFont.h"

#include "CSpriteWriter.h"

namespace pellora::fontgen
{

bool writeSpriteFont(const SGlyphSet& set, const std::string& path, std::string& error)
{
    pellora::spritepack::CSpriteWriter writer;
    // Untrimmed images keep the advance and the line height as their size.
    writer.setTrim(false);
    for (const auto& [code, glyph] : set.glyphs)
    {
        std::vector<uint8_t> rgba(glyph.coverage.size() * 4, 255);
        for (size_t i = 0; i < glyph.coverage.size(); ++i)
            rgba[i * 4 + 3] = glyph.coverage[i];
        const int image = writer.addImage(rgba.data(), glyph.width, set.height, 0, 0);
        const int32_t name = code >= 128 ? code - 256 : code;
        // A negative duration: the single frame never runs out.
        if (image < 0 || !writer.addAnimation(std::to_string(name), {{image, -1, 1}}))
        {
            error = "cannot add the glyph of code " + std::to_string(code);
            return false;
        }
    }
    return writer.writeFile(path, 4, error);
}

} // namespace pellora::fontgen
