#include "GlyphTable.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace pellora::fontgen
{

namespace
{

struct SPicture
{
    int32_t code = 0;
    int32_t line = 0;
    std::vector<std::string> rows;
};

bool isPictureRow(const std::string& line)
{
    return !line.empty() && line.find_first_not_of(".#") == std::string::npos;
}

} // namespace

bool readGlyphTable(const std::string& path, SGlyphSet& set, std::string& error)
{
    std::ifstream in(path);
    if (!in)
    {
        error = "cannot open the glyph table " + path;
        return false;
    }
    std::vector<SPicture> pictures;
    int32_t height = 0;
    std::string line;
    for (int32_t number = 1; std::getline(in, line); ++number)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(number) + ": ";
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword.compare(0, 2, "--") == 0)
            continue;
        if (keyword == "height" || keyword == "code")
        {
            int32_t value = 0;
            if (!(words >> value) || value < 0 || (keyword == "height" && value == 0))
            {
                error = where + "expected a number after " + keyword;
                return false;
            }
            // A glyph is named by one byte of text.
            if (keyword == "code" && value > 255)
            {
                error = where + "code " + std::to_string(value) + " is past 255";
                return false;
            }
            if (keyword == "height")
                height = value;
            else
                pictures.push_back({value, number, {}});
        }
        else if (isPictureRow(keyword) && keyword == line)
        {
            if (pictures.empty())
            {
                error = where + "a picture row before the first code line";
                return false;
            }
            std::vector<std::string>& rows = pictures.back().rows;
            if (!rows.empty() && rows[0].size() != keyword.size())
            {
                error = where + "rows of one picture must be equally long";
                return false;
            }
            rows.push_back(keyword);
        }
        else
        {
            error = where + "expected height, code or a row of '.' and '#'";
            return false;
        }
    }

    if (set.height == 0)
    {
        set.height = height;
        for (const SPicture& p : pictures)
            set.height = std::max<int32_t>(set.height, int32_t(p.rows.size()));
    }
    for (const SPicture& p : pictures)
    {
        const std::string where = path + ":" + std::to_string(p.line) + ": ";
        if (p.rows.empty())
        {
            error = where + "code " + std::to_string(p.code) + " has no picture";
            return false;
        }
        if (int32_t(p.rows.size()) > set.height)
        {
            error =
                where + "the picture is higher than the line (" + std::to_string(set.height) + ")";
            return false;
        }
        SGlyph glyph;
        glyph.width = int32_t(p.rows[0].size());
        glyph.coverage.assign(size_t(glyph.width) * size_t(set.height), 0);
        const int32_t top = (set.height - int32_t(p.rows.size())) / 2;
        for (size_t r = 0; r < p.rows.size(); ++r)
            for (size_t c = 0; c < p.rows[r].size(); ++c)
                if (p.rows[r][c] == '#')
                    glyph.coverage[(size_t(top) + r) * size_t(glyph.width) + c] = 255;
        set.glyphs[p.code] = std::move(glyph);
    }
    return true;
}

} // namespace pellora::fontgen
