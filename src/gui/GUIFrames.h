// The 3D frames widgets draw in skin colours where they have no image: a
// raised frame (buttons), a sunken one (pressed buttons) and a field (edit
// and combo boxes). Each is a few filled rectangles, later ones over
// earlier ones, all cut by the clip.
#pragma once

#include "video/SGeometry.h"

#include <cstdint>
#include <initializer_list>

namespace zu::gui
{
class IGUISkin;
}

namespace zu::video
{
class IVideoDriver;
}

namespace kelvo::gui
{

// One filled rectangle of a frame: a skin colour over the frame's rectangle
// with its edges moved in by the four insets.
struct SFrameLayer
{
    int32_t color;
    int32_t left, top, right, bottom;
};

// Fills the layers in order, each over the ones before.
void drawFrameLayers(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& rect, const zu::video::SRecti* clip,
                     std::initializer_list<SFrameLayer> layers);

// Light upper-left edges, dark lower-right edges, the face in colour 2.
void drawRaisedFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& rect, const zu::video::SRecti* clip);
// Dark upper-left edges, a light lower-right edge.
void drawSunkenFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& rect, const zu::video::SRecti* clip);
// A light field with a one-pixel shadow along the top and left.
void drawFieldFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                    const zu::video::SRecti& rect, const zu::video::SRecti* clip);

// The mark of a chosen row (list box selection, popup menu entry): the row
// tinted in skin colour 18 with 2-pixel bands of colour 19 along its edges,
// all cut by the clip.
void drawSelectionHighlight(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                            const zu::video::SRecti& rect, const zu::video::SRecti* clip);

} // namespace kelvo::gui
