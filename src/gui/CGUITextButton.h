// CGUITextButton: a caption that clicks on any release over it. With a skin
// package it can show a picture above the caption and a marker picture on
// either side while the mouse is over it.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUITextButton.h"

namespace kelvo::gui
{

class CGUITextButton : public zu::gui::IGUITextButton
{
  public:
    // Placed at (0, 0) and sized to its caption and images. A null font is
    // the skin font; the image names are used whole.
    CGUITextButton(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                   const zu::core::CString& caption, const zu::core::CString& markerImage,
                   const zu::core::CString& topImage, zu::gui::IGUIFont* font, uint32_t textColor);

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void setTextColor(uint32_t color) override { m_textColor = color; }

  private:
    zu::gui::IGUIFont* m_font;
    zu::core::CString m_caption;
    CGUIImageSet m_marker{""};
    CGUIImageSet m_top{""};
    zu::core::SDimension2i m_captionSize;
    uint32_t m_textColor;
};

} // namespace kelvo::gui
