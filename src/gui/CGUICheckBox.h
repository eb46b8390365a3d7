// CGUICheckBox: a box and its caption. It toggles when the left button is
// pressed and released on it, and tells its parent; without a parent there
// is nobody to tell, so it does not toggle.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUICheckBox.h"

namespace kelvo::gui
{

class CGUICheckBox : public zu::gui::IGUICheckBox
{
  public:
    // The caption of the built-in font's check mark.
    static constexpr char CHECK_MARK = 9;
    // Between the box and the caption.
    static constexpr int32_t TEXT_GAP = 10;

    CGUICheckBox(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                 const zu::video::SRecti& rectangle, bool checked, const zu::core::CString& text);

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;

    void setChecked(bool checked) override { m_checked = checked; }
    bool isChecked() const override { return m_checked; }
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void setTextColor(uint32_t color) override { m_textColor = color; }
    void setFont(zu::gui::IGUIFont* font) override { m_font = font; }
    void fitWidthToText() override;

    bool isHighlighted() const { return m_highlighted; }
    bool isPressed() const { return m_pressed; }

  private:
    // The box drawn in skin colours, with the check mark when checked.
    void drawBox(const zu::video::SRecti& box) const;

    bool m_pressed = false;
    bool m_checked;
    bool m_highlighted = false;
    // 0 normal, 1 highlighted, 2 disabled; the checked looks follow.
    CGUIImageSet m_images{"Normal",        "Highlighted",        "Disabled",
                          "CheckedNormal", "CheckedHighlighted", "CheckedDisabled"};
    uint32_t m_textColor = 0;
    zu::gui::IGUIFont* m_font = nullptr;
};

} // namespace kelvo::gui
