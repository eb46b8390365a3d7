// IGUISkin: the look every GUI element shares: 20 colours, 10 sizes, the
// default button texts, the default font and the skin sprite package whose
// animations, looked up by name, are the widgets' images.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::video
{
class ISpritePackage;
}

namespace zu::gui
{

class IGUIFont;

class IGUISkin : public virtual IUnknown
{
public:
    static constexpr int32_t COLOR_COUNT = 20;
    static constexpr int32_t SIZE_COUNT = 10;
    static constexpr int32_t TEXT_COUNT = 4;

    virtual uint32_t getColor(int32_t index) const = 0;
    // An index outside the table is ignored.
    virtual void setColor(int32_t index, uint32_t color) = 0;
    virtual int32_t getSize(int32_t index) const = 0;
    virtual const core::CString& getDefaultText(int32_t index) const = 0;
    virtual void setDefaultText(int32_t index, const core::CString& text) = 0;
    // An index outside the table is ignored.
    virtual void setSize(int32_t index, int32_t value) = 0;
    virtual IGUIFont* getFont() const = 0;
    // Grabs the new font and drops the previous one; null is allowed.
    virtual void setFont(IGUIFont* font) = 0;
    virtual video::ISpritePackage* getSpritePackage() const = 0;
    // Its button, scroll bar and check box images set the matching sizes;
    // null removes the package.
    virtual void setSpritePackage(video::ISpritePackage* package) = 0;
};

} // namespace zu::gui
