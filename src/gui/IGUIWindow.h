// IGUIWindow: a window, or a frame (a window without a title bar). A window
// is dragged by its title and hidden by its close button; its content area
// is the inside of its border.
#pragma once

#include "gui/IGUILayout.h"

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIButton;

class IGUIWindow : public IGUILayout
{
  public:
    using IGUILayout::IGUILayout;

    virtual bool isFrame() const = 0;
    // Null for a frame.
    virtual IGUIButton* getCloseButton() const = 0;
    // The two further title buttons, made hidden; null for a frame or once
    // removed.
    virtual IGUIButton* getSecondTitleButton() const = 0;
    virtual IGUIButton* getThirdTitleButton() const = 0;
    // The thirteen border images prefix + "Background", "TopLeft", ...; each
    // piece takes its image's size.
    virtual void setImages(video::ISpritePackage* package, const core::CString& prefix) = 0;
    virtual bool isDragging() const = 0;
};

} // namespace zu::gui
