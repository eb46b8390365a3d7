// CGUIDetachableFrame: the detachable frame. Its open menu is a popup at the
// top of the tree that the frame owns: it is closed with the frame.
#pragma once

#include "gui/CGUIFramePieces.h"
#include "gui/IGUIDetachableFrame.h"

#include <vector>

namespace zu::gui
{
class IGUIButton;
class IGUIPopupMenu;
} // namespace zu::gui

namespace kelvo::gui
{

class CGUIDetachableFrame : public zu::gui::IGUIDetachableFrame
{
  public:
    CGUIDetachableFrame(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                        int32_t id, const zu::video::SRecti& rectangle, uint32_t fadeDelay,
                        bool withMenuButton, bool withCloseButton);
    ~CGUIDetachableFrame() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void remove() override;
    void setRelativePosition(const zu::video::SRecti& rectangle) override;
    zu::video::SRecti getContentArea() const override;

    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void setMenuTitleFont(zu::gui::IGUIFont* font) override { m_titleFont = font; }
    void setMenuItemsFont(zu::gui::IGUIFont* font) override { m_itemFont = font; }
    void addMenuOption(const zu::core::CString& text, int32_t commandId) override;
    void setMenuVisible(bool visible) override;
    void setResizable(bool resizable, int32_t minimumWidth, int32_t minimumHeight) override;
    void setLocked(bool locked) override;
    bool isLocked() const override { return m_locked; }
    void setFadeable(bool fadeable) override;
    void setLockable(bool lockable) override;
    void setHideable(bool hideable) override;
    void stopDragging() override { m_moving = false; }
    bool isMoving() const override { return m_moving; }
    bool isResizing() const override { return m_resizing; }
    bool isFadedOut() const override { return m_fadedOut; }
    zu::gui::IGUIElement* getMenu() const override;
    zu::gui::IGUIElement* getMenuButton() const override;
    zu::gui::IGUIElement* getCloseButton() const override;

  private:
    struct SOption
    {
        zu::core::CString text;
        int32_t commandId;
    };

    void layOut();
    void openMenu();
    void closeMenu();
    // Snaps the candidate rectangle (in the parent's coordinates) to the
    // parent's edges and to visible sibling layouts, each axis once; true
    // when it snapped on either axis.
    bool snap(zu::video::SRecti& candidate) const;
    bool onMouse(const zu::event::SMouseEvent& mouse);

    CGUIFramePieces m_pieces;
    bool m_moving = false;
    bool m_resizing = false;
    zu::video::SPosition2i m_pressPoint;
    zu::video::SPosition2i m_pressCorner;
    zu::video::SPosition2i m_lastPoint;
    bool m_resizable = false;
    int32_t m_minimumWidth = 0;
    int32_t m_minimumHeight = 0;
    uint32_t m_fadeDelay;
    uint32_t m_lastActivity = 0;
    bool m_activitySeen = false;
    bool m_fadedOut = true;
    bool m_locked = false;
    bool m_lockable = true;
    bool m_fadeable = true;
    bool m_hideable;
    bool m_menuVisible = true;
    zu::gui::IGUIButton* m_menuButton = nullptr;  // grabbed
    zu::gui::IGUIButton* m_closeButton = nullptr; // grabbed
    zu::gui::IGUIFont* m_titleFont;
    zu::gui::IGUIFont* m_itemFont;
    zu::gui::IGUIPopupMenu* m_menu = nullptr; // grabbed while open
    std::vector<SOption> m_options;
};

} // namespace kelvo::gui
