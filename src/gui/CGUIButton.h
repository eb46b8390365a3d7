// CGUIButton: the button. It is pressed while a mouse button or Enter or
// Space is held on it and clicks when released over it; a push button
// toggles between pressed and highlighted with each click instead.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUIButton.h"

namespace kelvo::gui
{

class CGUIButton : public zu::gui::IGUIButton
{
  public:
    // A caption starting with the character code 3 makes a close button.
    static constexpr char CLOSE_CAPTION = 3;

    // With drawUnclipped the button draws past its clipping rectangle (the
    // arrow buttons of an unclipped scroll bar).
    CGUIButton(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
               const zu::video::SRecti& rectangle, const zu::core::CString& caption,
               bool drawUnclipped = false);
    ~CGUIButton() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;

    void setOverrideFont(zu::gui::IGUIFont* font) override;
    void setOverrideColor(uint32_t color) override;
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix,
                   bool fitSize) override;
    void setIsPushButton(bool on) override { m_pushButton = on; }
    bool isPushButton() const override { return m_pushButton; }
    void setPressed(bool pressed) override;
    bool isPressed() const override { return m_state == zu::gui::EGBS_PRESSED; }
    zu::gui::EGUIButtonState getState() const override { return m_state; }
    void click() override;

    // Whether the images in use include a Normal one.
    bool hasImages() const { return m_images.has(zu::gui::EGBS_NORMAL); }

  private:
    // A change restarts the new state's image.
    void setState(zu::gui::EGUIButtonState state);
    // A hovered or left push button that is on stays pressed.
    bool keepsPressed() const { return m_pushButton && m_state == zu::gui::EGBS_PRESSED; }
    bool onMouse(const zu::event::SMouseEvent& mouse);
    bool onKey(const zu::event::SKeyEvent& key);

    zu::gui::EGUIButtonState m_state = zu::gui::EGBS_NORMAL;
    bool m_drawUnclipped;
    bool m_pushButton = false;
    zu::gui::IGUIFont* m_overrideFont = nullptr;
    uint32_t m_overrideColor = 0;
    bool m_overrideColorEnabled = false;
    // Indexed by state.
    CGUIImageSet m_images{"Normal", "Highlighted", "Pressed", "Disabled"};
};

} // namespace kelvo::gui
