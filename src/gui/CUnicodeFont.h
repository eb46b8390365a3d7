// CUnicodeFont: a sprite-package font. Each animation of the package draws the
// character whose code is the animation's name read as a decimal number.
// Texts may switch colour inline: "#0" to "#9" pick a colour of the table
// below (keeping the alpha of the colour passed to draw), "#o" the override
// colour, "##" draws one "#". Glyph states are made on first use.
#pragma once

#include "gui/IGUIFont.h"

#include <vector>

namespace zu::video
{
class ISpriteAnimationState;
class ISpritePackage;
class IVideoDriver;
} // namespace zu::video

namespace kelvo::gui
{

class CUnicodeFont : public zu::gui::IGUIFont
{
public:
    // The RGB of the colour codes "#0" to "#9".
    static constexpr uint32_t COLOR_CODES[10] = {0x000000, 0xD5887A, 0xBDCD6F, 0xDAD578, 0xD1A744,
                                                 0xA0809A, 0xB5C7EE, 0xFFFFFF, 0x9F6A5C, 0xF0E7B7};

    // The driver is borrowed.
    explicit CUnicodeFont(zu::video::IVideoDriver* driver);
    ~CUnicodeFont() override;

    // Takes the sprite package of that file name from the driver's cache;
    // false when there is none.
    bool load(const zu::core::CString& fileName);

    void draw(const zu::core::CString& text, const zu::video::SRecti& position, uint32_t color,
              zu::gui::EGUIAlignment horizontal = zu::gui::EGUIA_UPPERLEFT,
              zu::gui::EGUIAlignment vertical = zu::gui::EGUIA_UPPERLEFT,
              const zu::video::SRecti* clip = nullptr) override;
    zu::core::SDimension2i getDimension(const zu::core::CString& text) override;
    int32_t getCharacterFromPos(const zu::core::CString& text, int32_t x) override;
    void setOverrideColor(uint32_t color) override { m_overrideColor = color; }
    uint32_t getLastColor() const override { return m_lastColor; }

    int32_t getHeight() const { return m_height; }
    int32_t getSpaceWidth() const { return m_spaceWidth; }

private:
    static constexpr uint32_t BUCKET_COUNT = 1999;

    struct SGlyph
    {
        int32_t code = 0;
        int32_t width = 0;
        int32_t height = 0;
        zu::video::ISpriteAnimationState* state = nullptr;
        // The state is looked for once; a code without one draws nothing.
        bool resolved = false;
    };

    // Gives the glyph its state (or none, for good) and the state's size.
    static void setState(SGlyph& glyph, zu::video::ISpriteAnimationState* state);
    // The glyph of a character byte, its state made on first use; null when
    // the package has no animation for it.
    SGlyph* findGlyph(char c);
    // The advance of a character: its glyph's width, or the space width.
    int32_t advance(const SGlyph* glyph) const { return glyph ? glyph->width : m_spaceWidth; }

    zu::video::IVideoDriver* m_driver;
    zu::video::ISpritePackage* m_package = nullptr;
    std::vector<std::vector<SGlyph>> m_buckets;
    int32_t m_height = 0;
    int32_t m_spaceWidth = 0;
    uint32_t m_overrideColor = 0xFFFFFFFF;
    uint32_t m_lastColor = 0xFFFFFFFF;
};

} // namespace kelvo::gui
