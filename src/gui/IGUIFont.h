// IGUIFont: text drawing and measuring, shared by the GUI elements, the print
// console and the script video library. Texts are single-byte characters;
// there is no multi-byte decoding.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::gui
{

enum EGUIAlignment
{
    EGUIA_UPPERLEFT = 0,
    EGUIA_CENTER = 1,
    EGUIA_LOWERRIGHT = 2
};

// How far text of the given extent moves inside a space of the given extent:
// centred text moves by half the difference, rounded down (the difference may
// be negative), lower-right text by the whole difference.
inline int32_t alignmentOffset(EGUIAlignment alignment, int32_t space, int32_t extent)
{
    const int32_t difference = space - extent;
    if (alignment == EGUIA_CENTER)
        return difference >= 0 ? difference / 2 : -((1 - difference) / 2);
    return alignment == EGUIA_LOWERRIGHT ? difference : 0;
}

class IGUIFont : public virtual IUnknown
{
public:
    // Draws the text from the rectangle's upper-left corner, shifted by the
    // alignments. Nothing wraps. A null clip rectangle clips nothing.
    virtual void draw(const core::CString& text, const video::SRecti& position, uint32_t color,
                      EGUIAlignment horizontal = EGUIA_UPPERLEFT,
                      EGUIAlignment vertical = EGUIA_UPPERLEFT,
                      const video::SRecti* clip = nullptr) = 0;
    virtual core::SDimension2i getDimension(const core::CString& text) = 0;
    // The index of the character under the pixel offset x, or -1 past the end.
    virtual int32_t getCharacterFromPos(const core::CString& text, int32_t x) = 0;
    // The colour that the colour code "#o" switches to; image fonts ignore it.
    virtual void setOverrideColor(uint32_t color) = 0;
    // The colour in effect when the last draw ended, so that the next line of
    // a text can go on in it. Image fonts always return opaque white.
    virtual uint32_t getLastColor() const = 0;
};

} // namespace zu::gui
