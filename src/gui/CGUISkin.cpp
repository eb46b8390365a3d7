#include "gui/CGUISkin.h"

#include "gui/IGUIFont.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"

namespace kelvo::gui
{

namespace
{

constexpr uint32_t kDefaultColors[zu::gui::IGUISkin::COLOR_COUNT] = {
    0xFF323232, 0xFF828282, 0xFFD2D2D2, 0xFFFFFFFF, 0xFFD2D2D2, 0xFF100E73, 0xFFFFFFFF,
    0xFF646464, 0xFF000000, 0xFF828282, 0xFF08246B, 0xFFFFFFFF, 0xFFA5A5A5, 0xFFD2D2D2,
    0xFFFFFFE6, 0xFFE6E6E6, 0xFFFFFFFF, 0x40000000, 0x308080FF, 0x80FFFFFF};

// Sizes 8 and 9 (radio list row height and spacing) are meant to be set by
// the game. Until then: 18 and 2. An item is size 8 + size 9 = 20 pixels
// high, which holds the 18-pixel box (size 3) and a line of the built-in
// font (17 pixels), and items are 2 pixels apart, 22 from top to top.
constexpr int32_t kDefaultSizes[zu::gui::IGUISkin::SIZE_COUNT] = {14,  18, 15, 18, 500,
                                                                  200, 80, 30, 18, 2};

const char* const kDefaultTexts[zu::gui::IGUISkin::TEXT_COUNT] = {"OK", "Cancel", "Yes", "No"};

} // namespace

CGUISkin::CGUISkin()
{
    for (int32_t i = 0; i < COLOR_COUNT; ++i)
        m_colors[i] = kDefaultColors[i];
    for (int32_t i = 0; i < SIZE_COUNT; ++i)
        m_sizes[i] = kDefaultSizes[i];
    for (int32_t i = 0; i < TEXT_COUNT; ++i)
        m_texts[i] = kDefaultTexts[i];
}

CGUISkin::~CGUISkin()
{
    zu::dropAndClear(m_font);
    zu::dropAndClear(m_spritePackage);
}

uint32_t CGUISkin::getColor(int32_t index) const
{
    return index >= 0 && index < COLOR_COUNT ? m_colors[index] : 0;
}

void CGUISkin::setColor(int32_t index, uint32_t color)
{
    if (index >= 0 && index < COLOR_COUNT)
        m_colors[index] = color;
}

int32_t CGUISkin::getSize(int32_t index) const
{
    return index >= 0 && index < SIZE_COUNT ? m_sizes[index] : 0;
}

void CGUISkin::setSize(int32_t index, int32_t value)
{
    if (index >= 0 && index < SIZE_COUNT)
        m_sizes[index] = value;
}

const zu::core::CString& CGUISkin::getDefaultText(int32_t index) const
{
    static const zu::core::CString none;
    return index >= 0 && index < TEXT_COUNT ? m_texts[index] : none;
}

void CGUISkin::setDefaultText(int32_t index, const zu::core::CString& text)
{
    if (index >= 0 && index < TEXT_COUNT)
        m_texts[index] = text;
}

void CGUISkin::setFont(zu::gui::IGUIFont* font)
{
    // Grab first: the new font may be the one already set.
    if (font)
        font->grab();
    zu::dropAndClear(m_font);
    m_font = font;
}

void CGUISkin::setSpritePackage(zu::video::ISpritePackage* package)
{
    if (package)
        package->grab();
    zu::dropAndClear(m_spritePackage);
    m_spritePackage = package;
    if (!package)
        return;
    // The images of a button, a scroll bar and a check box set the sizes the
    // widgets are made with; a missing image leaves its sizes alone.
    const struct
    {
        const char* image;
        int32_t widthSize;
        int32_t heightSize;
    } fromImages[] = {
        {"TextButtonNormal", 6, 7}, {"VerScrollBackground", 0, -1}, {"CheckboxNormal", 3, -1}};
    for (const auto& from : fromImages)
    {
        zu::video::ISpriteAnimationState* state =
            package->createState(zu::core::CString(from.image));
        if (!state)
            continue;
        const zu::core::SDimension2i size = state->getSize(0);
        m_sizes[from.widthSize] = size.width;
        if (from.heightSize >= 0)
            m_sizes[from.heightSize] = size.height;
        state->release();
    }
}

} // namespace kelvo::gui
