#include "gui/CGUIFont.h"

#include "core/Output.h"
#include "video/ITexture.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace kelvo::gui
{

using zu::core::ELL_ERROR;
using zu::video::SRecti;

namespace
{

// No character reaches a glyph past these; a picture that is no font (every
// pixel a marker) must not make millions of them.
constexpr size_t MAX_GLYPHS = 256;

// Finds the glyph rectangles in locked pixels of one format and clears the
// markers and the background to transparent. Lower-right markers go to the
// glyphs in the order their upper-left markers were found; markers are
// counted in `opened` and `closed`, the first MAX_GLYPHS kept. False when a
// lower-right marker has no glyph left to close.
template <class Pixel>
bool scanMarkers(uint8_t* pixels, int32_t pitch, zu::core::SDimension2i size, Pixel alphaMask,
                 std::vector<SRecti>& glyphs, size_t& opened, size_t& closed)
{
    Pixel* firstRow = reinterpret_cast<Pixel*>(pixels);
    const Pixel upperLeft = firstRow[0];
    const Pixel lowerRight = firstRow[1];
    const Pixel background = firstRow[2];
    firstRow[1] = background;
    const Pixel transparent = Pixel(background & alphaMask);

    for (int32_t y = 0; y < size.height; ++y)
    {
        Pixel* row = reinterpret_cast<Pixel*>(pixels + size_t(y) * size_t(pitch));
        for (int32_t x = 0; x < size.width; ++x)
        {
            Pixel& p = row[x];
            if (p == upperLeft)
            {
                p = transparent;
                if (opened++ < MAX_GLYPHS)
                    glyphs.push_back({x, y, x, y});
            }
            else if (p == lowerRight)
            {
                if (closed >= opened)
                    return false;
                p = transparent;
                if (closed < glyphs.size())
                {
                    // A marker left of its glyph's corner makes an empty glyph.
                    glyphs[closed].right = std::max(x, glyphs[closed].left);
                    glyphs[closed].bottom = y;
                }
                ++closed;
            }
            else if (p == background)
                p = transparent;
        }
    }
    return true;
}

} // namespace

CGUIFont::CGUIFont(zu::video::IVideoDriver* driver) : m_driver(driver)
{
    setDebugName("CGUIFont");
}

CGUIFont::~CGUIFont() { zu::dropAndClear(m_texture); }

bool CGUIFont::load(zu::video::ITexture* texture)
{
    if (!texture)
        return false;
    texture->grab();
    zu::dropAndClear(m_texture);
    m_texture = texture;
    m_glyphs.clear();
    m_wrongCharacter = 0;

    const zu::video::ECOLOR_FORMAT format = texture->getColorFormat();
    if (format != zu::video::ECF_A8R8G8B8 && format != zu::video::ECF_A1R5G5B5)
    {
        zu::core::zuLogText("Unsupported font texture color format.", ELL_ERROR);
        return false;
    }
    const zu::core::SDimension2i size = texture->getSize();
    // The three key colours sit in the first row.
    const bool hasKeys = size.width >= 3 && size.height >= 1;
    uint8_t* pixels = hasKeys ? static_cast<uint8_t*>(texture->lock()) : nullptr;
    if (hasKeys && !pixels)
    {
        zu::core::zuLogText("Could not lock texture while preparing texture for a font.",
                            ELL_ERROR);
        return false;
    }

    size_t opened = 0, closed = 0;
    if (pixels)
    {
        const int32_t pitch = texture->getPitch();
        const bool ok =
            format == zu::video::ECF_A8R8G8B8
                ? scanMarkers<uint32_t>(pixels, pitch, size, 0x00FFFFFF, m_glyphs, opened, closed)
                : scanMarkers<uint16_t>(pixels, pitch, size, 0x7FFF, m_glyphs, opened, closed);
        texture->unlock();
        if (!ok)
            return false;
    }

    if (closed == 0 || m_glyphs.empty())
        zu::core::zuLogText("The amount of upper corner pixels or lower corner pixels is == 0, "
                            "font file may be corrupted.",
                            ELL_ERROR);
    else if (closed != opened)
        zu::core::zuLogText("The amount of upper corner pixels and the lower corner pixels is "
                            "not equal, font file may be corrupted.",
                            ELL_ERROR);

    if (m_glyphs.size() > 127)
        m_wrongCharacter = 127;
    return !m_glyphs.empty() && closed > 0;
}

int32_t CGUIFont::glyphFor(const zu::core::CString& text, size_t i) const
{
    const char c = text[i];
    const int32_t value = static_cast<signed char>(c);
    const int32_t count = int32_t(m_glyphs.size());
    // Symbols are one-character captions; inside longer texts the codes 2 to 9
    // (a tab in a traceback, say) keep the plain rule.
    if (m_firstSymbolGlyph >= 0 && text.size() == 1 && value >= 2 && value <= 9 &&
        m_firstSymbolGlyph + value - 2 < count)
        return m_firstSymbolGlyph + value - 2;
    const int32_t index = value - 32;
    return index < 0 || index >= count ? m_wrongCharacter : index;
}

int32_t CGUIFont::glyphWidth(const zu::core::CString& text, size_t i) const
{
    return m_glyphs[size_t(glyphFor(text, i))].getWidth();
}

int32_t CGUIFont::height() const { return m_glyphs.empty() ? 0 : m_glyphs[0].getHeight(); }

void CGUIFont::draw(const zu::core::CString& text, const SRecti& position, uint32_t color,
                    zu::gui::EGUIAlignment horizontal, zu::gui::EGUIAlignment vertical,
                    const SRecti* clip)
{
    if (!m_driver || m_glyphs.empty())
        return;
    zu::video::SPosition2i at{position.left, position.top};
    if (horizontal != zu::gui::EGUIA_UPPERLEFT || vertical != zu::gui::EGUIA_UPPERLEFT)
    {
        const zu::core::SDimension2i extent = getDimension(text);
        at.x += zu::gui::alignmentOffset(horizontal, position.getWidth(), extent.width);
        at.y += zu::gui::alignmentOffset(vertical, position.getHeight(), extent.height);
    }
    for (size_t i = 0; i < text.size(); ++i)
    {
        const SRecti& glyph = m_glyphs[size_t(glyphFor(text, i))];
        m_driver->drawImage(m_texture, at, glyph, clip, color, true);
        at.x += glyph.getWidth();
    }
}

zu::core::SDimension2i CGUIFont::getDimension(const zu::core::CString& text)
{
    zu::core::SDimension2i extent{0, height()};
    if (m_glyphs.empty())
        return extent;
    for (size_t i = 0; i < text.size(); ++i)
        extent.width += glyphWidth(text, i);
    return extent;
}

int32_t CGUIFont::getCharacterFromPos(const zu::core::CString& text, int32_t x)
{
    if (m_glyphs.empty())
        return -1;
    int32_t sum = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        sum += glyphWidth(text, i);
        if (sum >= x)
            return int32_t(i);
    }
    return -1;
}

} // namespace kelvo::gui
