// CGUIImageSet: the skin images of one widget: one animation state per
// suffix, made from a sprite package under prefix + suffix. A missing
// animation leaves its slot empty, which is no error: the widget then draws
// that piece in skin colours or not at all.
#pragma once

#include "core/CString.h"
#include "core/SDimension.h"
#include "video/SGeometry.h"

#include <vector>

namespace zu::video
{
class ISpriteAnimationState;
class ISpritePackage;
} // namespace zu::video

namespace kelvo::gui
{

class CGUIImageSet
{
  public:
    // The suffixes are kept by pointer: they are string literals.
    CGUIImageSet(std::initializer_list<const char*> suffixes);
    ~CGUIImageSet();
    CGUIImageSet(const CGUIImageSet&) = delete;
    CGUIImageSet& operator=(const CGUIImageSet&) = delete;

    // Releases the current states, then makes the new ones; a null package
    // leaves every slot empty.
    void load(zu::video::ISpritePackage* package, const zu::core::CString& prefix);
    void release();

    zu::video::ISpriteAnimationState* get(size_t index) const { return m_states[index]; }
    bool has(size_t index) const { return m_states[index] != nullptr; }
    // The size of frame 0; (0, 0) for an empty slot.
    zu::core::SDimension2i size(size_t index) const;
    // Draws the current frame at the position; nothing for an empty slot.
    void draw(size_t index, zu::video::SPosition2i position, const zu::video::SRecti* clip,
              uint32_t color = 0xFFFFFFFF) const;
    // Repeats the image along one axis over the area, from its upper-left
    // corner while the next copy starts before the far edge; the copies are
    // cut to the area and to the clip (when there is one).
    void tile(size_t index, const zu::video::SRecti& area, bool horizontal,
              const zu::video::SRecti* clip, uint32_t color = 0xFFFFFFFF) const;
    // Covers the area in rows of copies, each row tiled as above.
    void tileBoth(size_t index, const zu::video::SRecti& area, const zu::video::SRecti* clip,
                  uint32_t color = 0xFFFFFFFF) const;
    // Back to the first frame.
    void restart(size_t index) const;

  private:
    std::vector<const char*> m_suffixes;
    std::vector<zu::video::ISpriteAnimationState*> m_states;
};

} // namespace kelvo::gui
