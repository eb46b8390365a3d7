// CGUISkin: the skin of the GUI environment with its default colours, sizes
// and texts. The font and the sprite package are grabbed while set, so that a
// package a script removes from the driver's cache stays usable here.
#pragma once

#include "gui/IGUISkin.h"

namespace kelvo::gui
{

class CGUISkin : public zu::gui::IGUISkin
{
public:
    CGUISkin();
    ~CGUISkin() override;

    uint32_t getColor(int32_t index) const override;
    void setColor(int32_t index, uint32_t color) override;
    int32_t getSize(int32_t index) const override;
    const zu::core::CString& getDefaultText(int32_t index) const override;
    void setDefaultText(int32_t index, const zu::core::CString& text) override;
    void setSize(int32_t index, int32_t value) override;
    zu::gui::IGUIFont* getFont() const override { return m_font; }
    void setFont(zu::gui::IGUIFont* font) override;
    zu::video::ISpritePackage* getSpritePackage() const override { return m_spritePackage; }
    void setSpritePackage(zu::video::ISpritePackage* package) override;

private:
    uint32_t m_colors[COLOR_COUNT];
    int32_t m_sizes[SIZE_COUNT];
    zu::core::CString m_texts[TEXT_COUNT];
    zu::gui::IGUIFont* m_font = nullptr;
    zu::video::ISpritePackage* m_spritePackage = nullptr;
};

} // namespace kelvo::gui
