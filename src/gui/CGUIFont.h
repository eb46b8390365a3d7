// CGUIFont: an image font. Its glyphs are cut out of a texture whose glyph
// corners are marked by coloured marker pixels: pixel (0,0) holds the
// upper-left marker colour, (1,0) the lower-right marker colour and (2,0)
// the background colour. Glyph i draws the character with code 32 + i.
// Markers and background become transparent when the glyphs are found.
#pragma once

#include "gui/IGUIFont.h"

#include <vector>

namespace zu::video
{
class ITexture;
class IVideoDriver;
} // namespace zu::video

namespace kelvo::gui
{

class CGUIFont : public zu::gui::IGUIFont
{
public:
    // The driver is borrowed.
    explicit CGUIFont(zu::video::IVideoDriver* driver);
    ~CGUIFont() override;

    // Grabs the texture and finds its glyphs; false when the texture is no
    // usable font (the reason is logged, except for surplus lower-right
    // markers).
    bool load(zu::video::ITexture* texture);

    // Makes one-character texts of the codes 2 to 9 draw the glyphs from
    // index first on instead of the wrong-character glyph. Only the built-in
    // font stores these symbols (the captions of the widgets' close, arrow
    // and check mark buttons).
    void setSymbolGlyphs(int32_t first) { m_firstSymbolGlyph = first; }

    void draw(const zu::core::CString& text, const zu::video::SRecti& position, uint32_t color,
              zu::gui::EGUIAlignment horizontal = zu::gui::EGUIA_UPPERLEFT,
              zu::gui::EGUIAlignment vertical = zu::gui::EGUIA_UPPERLEFT,
              const zu::video::SRecti* clip = nullptr) override;
    zu::core::SDimension2i getDimension(const zu::core::CString& text) override;
    int32_t getCharacterFromPos(const zu::core::CString& text, int32_t x) override;
    void setOverrideColor(uint32_t) override {}
    uint32_t getLastColor() const override { return 0xFFFFFFFF; }

    const std::vector<zu::video::SRecti>& getGlyphs() const { return m_glyphs; }
    int32_t getWrongCharacter() const { return m_wrongCharacter; }
    zu::video::ITexture* getTexture() const { return m_texture; }

private:
    // The glyph index for the character at i.
    int32_t glyphFor(const zu::core::CString& text, size_t i) const;
    int32_t glyphWidth(const zu::core::CString& text, size_t i) const;
    int32_t height() const;

    zu::video::IVideoDriver* m_driver;
    zu::video::ITexture* m_texture = nullptr;
    std::vector<zu::video::SRecti> m_glyphs;
    int32_t m_wrongCharacter = 0;
    int32_t m_firstSymbolGlyph = -1;
};

} // namespace kelvo::gui
