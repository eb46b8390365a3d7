// CGUIEditBox: the edit box. It draws a field frame, or its images (a tiled
// background between a left and a right end), the selection, the text from
// the scroll start on and the caret, shown 350 ms of every 700 from the last
// edit. The scroll start follows the caret so that it stays in view. Pasting
// goes through the environment's OS services.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUIEditBox.h"

namespace zu
{
class IOSOperator;
}

namespace kelvo::gui
{

class CGUIEditBox : public zu::gui::IGUIEditBox
{
  public:
    // The caret shows for the first half of each period after an edit.
    static constexpr uint32_t BLINK_PERIOD = 700;
    // The ends of the field frame, and of a box whose images are missing.
    static constexpr int32_t FRAME_INSET = 3;
    // Typed characters below this code are control characters: ignored.
    static constexpr uint16_t FIRST_TYPED = 30;

    CGUIEditBox(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                const zu::video::SRecti& rectangle, const zu::core::CString& text, bool background);
    ~CGUIEditBox() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    // Places the end images at the new edges.
    void setRelativePosition(const zu::video::SRecti& rectangle) override;
    // The caret goes to the end, the view to the start; nothing is selected.
    void setText(const zu::core::CString& text) override;

    void grabFocus() override;
    void setOverrideFont(zu::gui::IGUIFont* font) override;
    zu::gui::IGUIFont* getOverrideFont() const override { return m_overrideFont; }
    void setOverrideColor(uint32_t color) override;
    void enableOverrideColor(bool on) override { m_overrideColorEnabled = on; }
    void setMax(int32_t length) override;
    int32_t getMax() const override { return m_max; }
    void setPassword(bool on) override { m_password = on; }
    bool isPassword() const override { return m_password; }
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void setAssociatedButton(int32_t id) override { m_associatedButton = id; }
    int32_t getAssociatedButton() const override { return m_associatedButton; }

    int32_t getCaret() const { return m_caret; }
    int32_t getSelectionStart() const { return m_selectionStart; }
    int32_t getSelectionEnd() const { return m_selectionEnd; }
    int32_t getScrollStart() const { return m_scrollStart; }
    int32_t getLeftInset() const { return m_leftInset; }
    bool isMouseSelecting() const { return m_mouseSelecting; }
    // The text as drawn: the text, or its password mask.
    zu::core::CString getDisplayedText() const;

  private:
    zu::gui::IGUIFont* activeFont() const;
    int32_t length() const { return int32_t(m_text.size()); }
    // The selection as an ordered range within the text.
    void selectionRange(int32_t& low, int32_t& high) const;
    bool hasSelection() const { return m_selectionStart != m_selectionEnd; }
    void clearSelection() { m_selectionStart = m_selectionEnd = 0; }
    // Puts the text in place of the range; the caret goes after it.
    void replaceRange(int32_t low, int32_t high, const zu::core::CString& text);
    // The caret keys: without select the selection goes, with it the
    // selection runs from where it was anchored to the new caret.
    void moveCaret(int32_t to, bool select);
    // The character index under the window x; the text's length past it.
    int32_t characterAt(int32_t x) const;
    // Moves the focus to the edit box step, 2 step, ... ids away.
    void focusNeighbour(int32_t step);
    void pressEnter();
    // Scrolls by whole characters until the caret is in view.
    void keepCaretVisible();
    void layOutPieces();
    bool onMouse(const zu::event::SMouseEvent& mouse);
    bool onKey(const zu::event::SKeyEvent& key);

    int32_t m_caret = 0;
    int32_t m_selectionStart = 0;
    int32_t m_selectionEnd = 0;
    int32_t m_scrollStart = 0;
    int32_t m_max = 0;
    bool m_password = false;
    bool m_mouseSelecting = false;
    bool m_background;
    uint32_t m_blinkStart = 0;
    zu::gui::IGUIFont* m_overrideFont = nullptr;
    uint32_t m_overrideColor = 0x65FFFFFF;
    bool m_overrideColorEnabled = false;
    int32_t m_associatedButton = -1;
    enum : size_t
    {
        BACKGROUND,
        LEFT,
        RIGHT
    };
    CGUIImageSet m_images{"Background", "Left", "Right"};
    // Relative to the box.
    zu::video::SRecti m_leftRect;
    zu::video::SRecti m_backgroundRect;
    zu::video::SRecti m_rightRect;
    int32_t m_leftInset = FRAME_INSET;
    zu::IOSOperator* m_osOperator = nullptr;
};

} // namespace kelvo::gui
