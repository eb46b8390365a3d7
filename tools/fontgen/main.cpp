// pellora-fontgen: makes the fonts a Pellora game draws text with, from a
// TrueType font, a hand-made glyph table, or both.
#include "FreeTypeGlyphs.h"
#include "GlyphTable.h"
#include "MarkerImage.h"
#include "SpriteFont.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace pellora::fontgen;

namespace
{

const char* const kUsage =
    "Usage: pellora-fontgen [options] OUTPUT\n"
    "Makes a font from a TrueType font, a hand-made glyph table, or both.\n"
    "The extension of OUTPUT picks the kind of font:\n"
    "  .tga   image font, 32 bits per pixel, anti-aliased\n"
    "  .bmp   image font, 4 bits per pixel, sharp\n"
    "  .fnt   sprite-package font, anti-aliased; draws the colour codes #0-#9\n"
    "         (pellora/font.fnt is the default font of a game)\n"
    "Options:\n"
    "  --ttf FILE         render this TrueType or OpenType font\n"
    "  --size PIXELS      its size in pixels (default 14)\n"
    "  --last CODE        render the codes 32 to CODE (default 126; image fonts\n"
    "                     draw no code above 127)\n"
    "  --mono             render without anti-aliasing\n"
    "  --table FILE       add or replace glyphs with those of a glyph table\n"
    "  --image-size N     width and height of an image font (default: the\n"
    "                     smallest power of two that holds every glyph)\n"
    "Glyph table codes below 32 are stored after the printable characters of\n"
    "an image font, as the symbols of the built-in font are.\n";

struct SOptions
{
    std::string ttf;
    std::string table;
    std::string output;
    int32_t size = 14;
    int32_t last = 126;
    int32_t imageSize = 0;
    bool mono = false;
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool readNumber(const char* text, int32_t low, int32_t high, int32_t& out)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == 0 || *end != 0 || value < low || value > high)
        return false;
    out = int32_t(value);
    return true;
}

// Returns 0 when the options are usable, else the exit status.
int parse(int argc, char** argv, SOptions& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help")
        {
            std::fputs(kUsage, stdout);
            return -1;
        }
        if (arg == "--mono")
            options.mono = true;
        else if (arg == "--ttf" && hasValue)
            options.ttf = argv[++i];
        else if (arg == "--table" && hasValue)
            options.table = argv[++i];
        else if (arg == "--size" && hasValue && readNumber(argv[i + 1], 1, 512, options.size))
            ++i;
        else if (arg == "--last" && hasValue && readNumber(argv[i + 1], 32, 255, options.last))
            ++i;
        else if (arg == "--image-size" && hasValue &&
                 readNumber(argv[i + 1], 3, 8192, options.imageSize))
            ++i;
        else if (arg.compare(0, 2, "--") != 0 && options.output.empty())
            options.output = arg;
        else
        {
            std::fprintf(stderr, "pellora-fontgen: bad option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (options.output.empty() || (options.ttf.empty() && options.table.empty()))
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return 0;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "pellora-fontgen: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions options;
    if (int status = parse(argc, argv, options))
        return status < 0 ? 0 : status;

    const bool bmp = endsWith(options.output, ".bmp");
    const bool tga = endsWith(options.output, ".tga");
    const bool fnt = endsWith(options.output, ".fnt");
    if (!bmp && !tga && !fnt)
        return fail("the output must end in .tga, .bmp or .fnt");

    SGlyphSet glyphs;
    std::string error;
    if (!options.ttf.empty() && !renderTrueType(options.ttf, options.size, 32, options.last,
                                                options.mono || bmp, glyphs, error))
        return fail(error);
    if (!options.table.empty() && !readGlyphTable(options.table, glyphs, error))
        return fail(error);

    if (fnt)
        return writeSpriteFont(glyphs, options.output, error) ? 0 : fail(error);

    SMarkerImage image;
    if (!layOutMarkerImage(glyphs, options.imageSize, image, error))
        return fail(error);
    if (!(bmp ? writeMarkerBMP(image, options.output, error)
              : writeMarkerTGA(image, options.output, error)))
        return fail(error);
    return 0;
}
