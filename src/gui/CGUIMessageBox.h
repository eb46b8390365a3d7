// CGUIMessageBox: a window with a wrapped message and a row of OK, Yes, No
// and Cancel buttons (those asked for). A click on one, or Enter or Escape,
// reports the answer to the parent and removes the box, together with the
// modal screen made for it.
#pragma once

#include "gui/CGUIWindow.h"

namespace kelvo::gui
{

class CGUIMessageBox : public CGUIWindow
{
  public:
    // flags: EGUIMessageBoxFlag values. The rectangle's height is replaced by
    // what the text and the buttons need, centred in the parent. With
    // ownScreen the parent is a modal screen made for the box, which goes
    // with it.
    CGUIMessageBox(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                   const zu::video::SRecti& rectangle, const zu::core::CString& caption,
                   const zu::core::CString& text, int32_t flags, bool ownScreen);
    ~CGUIMessageBox() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    // Enter gives Yes, else OK; Escape gives Cancel, else No. The press is
    // taken and the release answers.
    bool offerKeyEvent(const zu::event::SEngineEvent& event) override;

    // Null when the box has no such button (flag: one EGUIMessageBoxFlag).
    zu::gui::IGUIButton* getButton(int32_t flag) const;
    zu::gui::IGUIElement* getMessage() const { return m_message; }

  private:
    // Tells the parent, then leaves the tree.
    void answer(zu::event::GUIEventType type);

    // OK, Cancel, Yes, No; grabbed or null.
    zu::gui::IGUIButton* m_buttons[4] = {nullptr, nullptr, nullptr, nullptr};
    zu::gui::IGUIElement* m_buttonLayout = nullptr;
    zu::gui::IGUIElement* m_message = nullptr;
    bool m_keyPending = false;
    bool m_ownScreen;
    bool m_answered = false;
};

} // namespace kelvo::gui
