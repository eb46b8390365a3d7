// CGUIWindow: a window or a frame. With the skin package's border images it
// is drawn from them, else in skin colours: a raised border, the face, and
// a title bar with the caption for a window. A window is dragged by its
// title (anywhere without a Top image) and its close button hides it. Tool-
// tips and bordered list boxes are frames.
#pragma once

#include "gui/CGUIFramePieces.h"
#include "gui/IGUIWindow.h"

namespace kelvo::gui
{

class CGUIButton;

class CGUIWindow : public zu::gui::IGUIWindow
{
  public:
    CGUIWindow(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
               const zu::video::SRecti& rectangle, bool isFrame);
    ~CGUIWindow() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void setRelativePosition(const zu::video::SRecti& rectangle) override;
    zu::video::SRecti getContentArea() const override;

    bool isFrame() const override { return m_isFrame; }
    zu::gui::IGUIButton* getCloseButton() const override;
    zu::gui::IGUIButton* getSecondTitleButton() const override;
    zu::gui::IGUIButton* getThirdTitleButton() const override;
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    bool isDragging() const override { return m_dragging; }

  protected:
    // Sends the answer to the parent, then removes the window, and with it
    // the modal screen made for it (withScreen), which would otherwise take
    // all input for good. Both stay alive until this returns, whatever the
    // parent's handler removes.
    void answerAndRemove(zu::event::GUIEventType type, bool withScreen);
    // Takes the two further title buttons out of the window.
    void removeExtraTitleButtons();
    // The caption area, in absolute pixels.
    zu::video::SRecti captionRect() const;
    const CGUIFramePieces& pieces() const { return m_pieces; }

  private:
    void layOut();

    bool m_isFrame;
    // Close, second, third; grabbed, none for a frame.
    CGUIButton* m_buttons[3] = {nullptr, nullptr, nullptr};
    bool m_dragging = false;
    zu::video::SPosition2i m_dragPoint;
    CGUIFramePieces m_pieces;
};

} // namespace kelvo::gui
