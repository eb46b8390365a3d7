#include "gui/CUnicodeFont.h"

#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

namespace
{

// A name read as a decimal number: digits count, everything else is skipped,
// and a leading "-" negates. Overlong numbers wrap.
int32_t readCode(const zu::core::CString& name)
{
    uint32_t value = 0;
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] >= '0' && name[i] <= '9')
            value = value * 10 + uint32_t(name[i] - '0');
    if (!name.empty() && name[0] == '-')
        value = 0 - value;
    return int32_t(value);
}

// Walks a text by the colour-code rules: calls colorCode(0..9, or -1 for "o")
// for each code and character(c) for each character that is drawn. A "#" that
// ends the text is dropped; "#" before anything else is dropped and the
// character after it is an ordinary one.
template <class Character, class ColorCode>
void walk(const zu::core::CString& text, Character character, ColorCode colorCode)
{
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (c == '#')
        {
            if (i + 1 >= text.size())
                return;
            c = text[++i];
            if (c >= '0' && c <= '9')
            {
                colorCode(c - '0');
                continue;
            }
            if (c == 'o')
            {
                colorCode(-1);
                continue;
            }
        }
        if (!character(c))
            return;
    }
}

} // namespace

CUnicodeFont::CUnicodeFont(zu::video::IVideoDriver* driver) : m_driver(driver)
{
    setDebugName("CUnicodeFont");
}

CUnicodeFont::~CUnicodeFont()
{
    for (std::vector<SGlyph>& bucket : m_buckets)
        for (SGlyph& glyph : bucket)
            if (glyph.state)
                glyph.state->release();
    // The states went back to the package, so it may go now.
    zu::dropAndClear(m_package);
}

bool CUnicodeFont::load(const zu::core::CString& fileName)
{
    if (!m_driver || m_package)
        return false;
    m_package = m_driver->getSpritePackage(fileName, false, true);
    if (!m_package)
        return false;
    // Held because glyphs are made on first use, which may come after a
    // script removed the package from the driver's cache.
    m_package->grab();

    m_buckets.assign(BUCKET_COUNT, {});
    m_height = 0;
    for (const zu::core::CString& name : m_package->getAnimationNames())
    {
        SGlyph glyph;
        glyph.code = readCode(name);
        // The first glyph that has a height gives the font its height.
        if (m_height == 0)
        {
            setState(glyph, m_package->createState(name));
            m_height = glyph.height;
        }
        m_buckets[uint32_t(glyph.code) % BUCKET_COUNT].push_back(glyph);
    }
    m_spaceWidth = m_height / 2;
    return true;
}

void CUnicodeFont::setState(SGlyph& glyph, zu::video::ISpriteAnimationState* state)
{
    glyph.resolved = true;
    glyph.state = state;
    if (state)
    {
        const zu::core::SDimension2i size = state->getSize(0);
        glyph.width = size.width;
        glyph.height = size.height;
    }
}

CUnicodeFont::SGlyph* CUnicodeFont::findGlyph(char c)
{
    if (m_buckets.empty())
        return nullptr;
    const int32_t code = static_cast<signed char>(c);
    for (SGlyph& glyph : m_buckets[uint32_t(code) % BUCKET_COUNT])
    {
        if (glyph.code != code)
            continue;
        if (!glyph.resolved)
            setState(glyph, m_package->createState(code));
        return &glyph;
    }
    return nullptr;
}

void CUnicodeFont::draw(const zu::core::CString& text, const zu::video::SRecti& position,
                        uint32_t color, zu::gui::EGUIAlignment horizontal,
                        zu::gui::EGUIAlignment vertical, const zu::video::SRecti* clip)
{
    zu::video::SPosition2i at{position.left, position.top};
    if (horizontal != zu::gui::EGUIA_UPPERLEFT || vertical != zu::gui::EGUIA_UPPERLEFT)
    {
        const zu::core::SDimension2i extent = getDimension(text);
        at.x += zu::gui::alignmentOffset(horizontal, position.getWidth(), extent.width);
        at.y += zu::gui::alignmentOffset(vertical, position.getHeight(), extent.height);
    }
    uint32_t current = color;
    walk(
        text,
        [&](char c)
        {
            SGlyph* glyph = findGlyph(c);
            if (glyph && glyph->state)
                glyph->state->drawAt(at, clip, current);
            at.x += advance(glyph);
            return true;
        },
        [&](int code)
        { current = code < 0 ? m_overrideColor : (color & 0xFF000000) | COLOR_CODES[code]; });
    m_lastColor = current;
}

zu::core::SDimension2i CUnicodeFont::getDimension(const zu::core::CString& text)
{
    zu::core::SDimension2i extent{0, m_height};
    walk(
        text,
        [&](char c)
        {
            extent.width += advance(findGlyph(c));
            return true;
        },
        [](int) {});
    return extent;
}

int32_t CUnicodeFont::getCharacterFromPos(const zu::core::CString& text, int32_t x)
{
    int32_t before = 0;
    int32_t found = -1;
    walk(
        text,
        [&](char c)
        {
            x -= advance(findGlyph(c));
            if (x < 0)
            {
                found = before;
                return false;
            }
            ++before;
            return true;
        },
        [](int) {});
    return found;
}

} // namespace kelvo::gui
