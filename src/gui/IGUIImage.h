// IGUIImage: a picture, from a texture or from a sprite package's animation;
// without either it is a rectangle of skin colour 0.
#pragma once

#include "gui/IGUIElement.h"

namespace zu::video
{
class ISpritePackage;
class ITexture;
} // namespace zu::video

namespace zu::gui
{

class IGUIImage : public IGUIElement
{
  public:
    using IGUIElement::IGUIElement;

    // Grabs the texture and gives up any animation.
    virtual void setTexture(video::ITexture* texture) = 0;
    // Gives up texture and animation; with a package, shows the animation of
    // that name and takes its size when it exists.
    virtual void setImage(const core::CString& name, video::ISpritePackage* package) = 0;
    virtual void setImageColor(uint32_t color) = 0;
};

} // namespace zu::gui
