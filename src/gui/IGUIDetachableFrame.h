// IGUIDetachableFrame: a frame the user moves (snapping to its parent's
// edges and to neighbouring layouts), resizes by its drag handle, locks in
// place and that fades away while the mouse is elsewhere. Its menu button
// opens a popup menu of options; its close button hides it.
#pragma once

#include "gui/IGUILayout.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

class IGUIDetachableFrame : public IGUILayout
{
  public:
    // The command id of the menu's lock entry.
    static constexpr int32_t LOCK_COMMAND = -387;
    // Edges closer than this snap together while moving.
    static constexpr int32_t SNAP_DISTANCE = 14;

    using IGUILayout::IGUILayout;

    // The thirteen border images and prefix + "SizeDragHandle".
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    // Not grabbed.
    virtual void setMenuTitleFont(IGUIFont* font) = 0;
    virtual void setMenuItemsFont(IGUIFont* font) = 0;
    // Appended to the menu after the lock entry.
    virtual void addMenuOption(const core::CString& text, int32_t commandId) = 0;
    // Shows or hides the menu button.
    virtual void setMenuVisible(bool visible) = 0;
    virtual void setResizable(bool resizable, int32_t minimumWidth, int32_t minimumHeight) = 0;
    // Only while lockable.
    virtual void setLocked(bool locked) = 0;
    virtual bool isLocked() const = 0;
    virtual void setFadeable(bool fadeable) = 0;
    // Sets both lockable and locked.
    virtual void setLockable(bool lockable) = 0;
    // Shows or hides the close button.
    virtual void setHideable(bool hideable) = 0;
    virtual void stopDragging() = 0;
    virtual bool isMoving() const = 0;
    virtual bool isResizing() const = 0;
    virtual bool isFadedOut() const = 0;
    // The open menu, or null.
    virtual IGUIElement* getMenu() const = 0;
    virtual IGUIElement* getMenuButton() const = 0;
    virtual IGUIElement* getCloseButton() const = 0;
};

} // namespace zu::gui
