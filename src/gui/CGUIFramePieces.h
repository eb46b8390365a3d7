// CGUIFramePieces: the skin images of a window or frame border: a
// background, four corners, four edges and four inner edges, each with its
// rectangle relative to the element; a detachable frame adds its size drag
// handle. Pieces without an image get an empty rectangle and draw nothing.
#pragma once

#include "gui/CGUIImageSet.h"

namespace kelvo::gui
{

class CGUIFramePieces
{
  public:
    enum EPiece : size_t
    {
        BACKGROUND,
        TOP_LEFT,
        TOP_RIGHT,
        BOTTOM_LEFT,
        BOTTOM_RIGHT,
        TOP,
        LEFT,
        RIGHT,
        BOTTOM,
        TOP_INNER,
        LEFT_INNER,
        RIGHT_INNER,
        BOTTOM_INNER,
        SIZE_DRAG_HANDLE,
        PIECE_COUNT
    };

    CGUIFramePieces();

    void load(zu::video::ISpritePackage* package, const zu::core::CString& prefix);
    bool has(EPiece piece) const { return m_images.has(piece); }
    zu::core::SDimension2i size(EPiece piece) const { return m_images.size(piece); }
    const zu::video::SRecti& rect(EPiece piece) const { return m_rects[piece]; }
    // Places every piece for an element of that size. The side bands take
    // the Left width, the top band the TopRight height and the bottom band
    // the BottomLeft height; the Background is what they leave.
    void layOut(int32_t width, int32_t height);
    // Draws the border pieces (not the handle) at the element's absolute
    // upper-left corner: the background and the edges tiled, the corners
    // once.
    void draw(zu::video::SPosition2i origin, const zu::video::SRecti* clip, uint32_t color) const;
    void drawHandle(zu::video::SPosition2i origin, const zu::video::SRecti* clip,
                    uint32_t color) const;
    // Where the caption goes, in absolute pixels, for an element at that
    // absolute rectangle.
    zu::video::SRecti captionRect(const zu::video::SRecti& absolute) const;

  private:
    CGUIImageSet m_images;
    zu::video::SRecti m_rects[PIECE_COUNT];
};

} // namespace kelvo::gui
