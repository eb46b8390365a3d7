// CGUIImage: a picture element. It has no input handling of its own.
#pragma once

#include "gui/IGUIImage.h"

namespace zu::video
{
class ISpriteAnimationState;
}

namespace kelvo::gui
{

class CGUIImage : public zu::gui::IGUIImage
{
  public:
    CGUIImage(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
              const zu::video::SRecti& rectangle);
    ~CGUIImage() override;

    void draw() override;
    void setTexture(zu::video::ITexture* texture) override;
    void setImage(const zu::core::CString& name, zu::video::ISpritePackage* package) override;
    void setImageColor(uint32_t color) override { m_color = color; }

  private:
    void releaseState();

    zu::video::ITexture* m_texture = nullptr;
    zu::video::ISpriteAnimationState* m_state = nullptr;
    uint32_t m_color = 0xFFFFFFFF;
};

} // namespace kelvo::gui
