// CGUIStaticText: the label of the GUI. A wrapped text keeps its lines and
// breaks them again when its text, font, width, wrapping or icon change; a
// paragraph icon narrows the lines beside it.
#pragma once

#include "gui/IGUIStaticText.h"

namespace zu::video
{
class ISpriteAnimationState;
}

namespace kelvo::gui
{

class CGUIStaticText : public zu::gui::IGUIStaticText
{
  public:
    // The reveal runs at this many pixels a second.
    static constexpr int32_t REVEAL_SPEED = 300;
    // A sweep of the offset scrolling lasts this long, and so does each rest.
    static constexpr uint32_t SCROLL_PHASE = 2000;

    CGUIStaticText(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                   const zu::video::SRecti& rectangle, const zu::core::CString& text, bool border,
                   bool wordWrap, const zu::core::CString& continuationPrefix);
    ~CGUIStaticText() override;

    void setText(const zu::core::CString& text) override;
    void setRelativePosition(const zu::video::SRecti& rectangle) override;
    zu::core::SDimension2i getPreferredSize() const override;
    void draw() override;

    void setOverrideFont(zu::gui::IGUIFont* font) override;
    zu::gui::IGUIFont* getOverrideFont() const override { return m_overrideFont; }
    void setOverrideColor(uint32_t color) override;
    uint32_t getOverrideColor() const override { return m_overrideColor; }
    void enableOverrideColor(bool on) override { m_overrideColorEnabled = on; }
    void setWordWrap(bool on) override;
    bool isWordWrapEnabled() const override { return m_wordWrap; }
    void setTextAlignment(zu::gui::EGUIAlignment horizontal,
                          zu::gui::EGUIAlignment vertical) override;
    int32_t getTextHeight() const override;
    void setParagraphIcon(const zu::core::CString& name, zu::video::ISpritePackage* package,
                          bool fitHeight) override;
    void activateProgressiveReveal(uint32_t delay) override;
    int32_t getTotalProgressiveTime() const override;
    void activateOffsetScrollingToEnsureVisibleText() override { m_offsetScrolling = true; }
    void packSize() override;
    const std::vector<zu::core::CString>& getLines() const override { return m_lines; }

    int32_t getIconLineCount() const { return m_iconLines; }
    // How far offset scrolling moves the text at a time, in pixels.
    int32_t scrollOffset(int32_t boxWidth, int32_t textWidth, uint32_t time) const;

  private:
    zu::gui::IGUIFont* activeFont() const;
    int32_t lineHeight(zu::gui::IGUIFont* font) const;
    void rewrap();
    zu::core::SDimension2i iconSize() const;
    void drawBorder(zu::video::SRecti& inside) const;

    bool m_border;
    bool m_overrideColorEnabled = false;
    bool m_wordWrap;
    zu::gui::EGUIAlignment m_horizontal = zu::gui::EGUIA_UPPERLEFT;
    zu::gui::EGUIAlignment m_vertical = zu::gui::EGUIA_UPPERLEFT;
    zu::core::CString m_prefix;
    zu::gui::IGUIFont* m_overrideFont = nullptr;
    zu::gui::IGUIFont* m_wrapFont = nullptr;
    std::vector<zu::core::CString> m_lines;
    uint32_t m_overrideColor = 0x65FFFFFF;
    zu::video::ISpriteAnimationState* m_icon = nullptr;
    int32_t m_iconLines = 0;
    bool m_iconRight = false;
    bool m_reveal = false;
    uint32_t m_revealStart = 0;
    bool m_offsetScrolling = false;
};

} // namespace kelvo::gui
