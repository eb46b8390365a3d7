#include "gui/CGUIFramePieces.h"

#include "gui/IGUIElement.h"

namespace kelvo::gui
{

using zu::video::SRecti;

namespace
{

SRecti moved(const SRecti& r, zu::video::SPosition2i by)
{
    return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

} // namespace

CGUIFramePieces::CGUIFramePieces()
    : m_images{"Background", "TopLeft",    "TopRight",    "BottomLeft",    "BottomRight",
               "Top",        "Left",       "Right",       "Bottom",        "TopInner",
               "LeftInner",  "RightInner", "BottomInner", "SizeDragHandle"}
{
}

void CGUIFramePieces::load(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_images.load(package, prefix);
}

void CGUIFramePieces::layOut(int32_t W, int32_t H)
{
    const int32_t l = size(LEFT).width;
    const int32_t t = size(TOP_RIGHT).height;
    const int32_t b = size(BOTTOM_LEFT).height;
    const zu::core::SDimension2i tl = size(TOP_LEFT), tr = size(TOP_RIGHT), bl = size(BOTTOM_LEFT),
                                 br = size(BOTTOM_RIGHT);
    m_rects[TOP_LEFT] = {0, 0, tl.width, tl.height};
    m_rects[TOP_RIGHT] = {W - tr.width, 0, W, tr.height};
    m_rects[BOTTOM_LEFT] = {0, H - bl.height, bl.width, H};
    m_rects[BOTTOM_RIGHT] = {W - br.width, H - b, W, H};
    m_rects[TOP] = {tl.width, 0, W - tr.width, size(TOP).height};
    m_rects[BOTTOM] = {br.width, H - b, W - br.width, H};
    m_rects[LEFT] = {0, t, l, H - b};
    m_rects[RIGHT] = {W - l, t, W, H - b};
    const SRecti bg = {l, t, W - l, H - b};
    m_rects[BACKGROUND] = bg;
    m_rects[TOP_INNER] = {bg.left, bg.top, bg.right, bg.top + size(TOP_INNER).height};
    m_rects[BOTTOM_INNER] = {bg.left, bg.bottom - size(BOTTOM_INNER).height, bg.right, bg.bottom};
    m_rects[LEFT_INNER] = {bg.left, bg.top, bg.left + size(LEFT_INNER).width, bg.bottom};
    m_rects[RIGHT_INNER] = {bg.right - size(RIGHT_INNER).width, bg.top, bg.right, bg.bottom};
    // The handle sits in the background's lower-right corner, so it keeps
    // its distance from the frame's corner whatever the size.
    const zu::core::SDimension2i handle = size(SIZE_DRAG_HANDLE);
    m_rects[SIZE_DRAG_HANDLE] = {bg.right - handle.width, bg.bottom - handle.height, bg.right,
                                 bg.bottom};
    for (size_t i = 0; i < PIECE_COUNT; ++i)
        if (!m_images.has(i)) m_rects[i] = {};
}

void CGUIFramePieces::draw(zu::video::SPosition2i origin, const SRecti* clip, uint32_t color) const
{
    m_images.tileBoth(BACKGROUND, moved(m_rects[BACKGROUND], origin), clip, color);
    for (EPiece corner : {TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT, BOTTOM_RIGHT})
        m_images.draw(corner, {origin.x + m_rects[corner].left, origin.y + m_rects[corner].top},
                      clip, color);
    m_images.tile(TOP, moved(m_rects[TOP], origin), true, clip, color);
    m_images.tile(BOTTOM, moved(m_rects[BOTTOM], origin), true, clip, color);
    m_images.tile(LEFT, moved(m_rects[LEFT], origin), false, clip, color);
    m_images.tile(RIGHT, moved(m_rects[RIGHT], origin), false, clip, color);
    m_images.tile(TOP_INNER, moved(m_rects[TOP_INNER], origin), true, clip, color);
    m_images.tile(BOTTOM_INNER, moved(m_rects[BOTTOM_INNER], origin), true, clip, color);
    m_images.tile(LEFT_INNER, moved(m_rects[LEFT_INNER], origin), false, clip, color);
    m_images.tile(RIGHT_INNER, moved(m_rects[RIGHT_INNER], origin), false, clip, color);
}

void CGUIFramePieces::drawHandle(zu::video::SPosition2i origin, const SRecti* clip,
                                 uint32_t color) const
{
    const SRecti& r = m_rects[SIZE_DRAG_HANDLE];
    m_images.draw(SIZE_DRAG_HANDLE, {origin.x + r.left, origin.y + r.top}, clip, color);
}

SRecti CGUIFramePieces::captionRect(const SRecti& a) const
{
    return {a.left + size(TOP_LEFT).width + 2, a.top + 2, a.right - size(TOP_RIGHT).width - 2,
            a.top + size(TOP).height};
}

} // namespace kelvo::gui
