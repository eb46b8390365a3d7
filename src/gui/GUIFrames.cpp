#include "gui/GUIFrames.h"

#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

namespace
{

// Skin colours of the frames.
enum : int32_t
{
    DARK_SHADOW = 0,
    SHADOW = 1,
    FACE = 2,
    LIGHT = 3
};

} // namespace

void drawFrameLayers(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& r, const zu::video::SRecti* clip,
                     std::initializer_list<SFrameLayer> layers)
{
    for (const SFrameLayer& layer : layers)
        driver->drawRectangle(skin->getColor(layer.color),
                              {r.left + layer.left, r.top + layer.top, r.right - layer.right,
                               r.bottom - layer.bottom},
                              clip);
}

void drawRaisedFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    drawFrameLayers(
        driver, skin, r, clip,
        {{DARK_SHADOW, 0, 0, 0, 0}, {LIGHT, 0, 0, 1, 1}, {SHADOW, 1, 1, 1, 1}, {FACE, 1, 1, 2, 2}});
}

void drawSunkenFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    drawFrameLayers(
        driver, skin, r, clip,
        {{LIGHT, 0, 0, 0, 0}, {DARK_SHADOW, 0, 0, 1, 1}, {SHADOW, 1, 1, 1, 1}, {FACE, 2, 2, 1, 1}});
}

void drawFieldFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                    const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    driver->drawRectangle(skin->getColor(LIGHT), r, clip);
    driver->drawRectangle(skin->getColor(SHADOW), {r.left, r.top, r.right, r.top + 1}, clip);
    driver->drawRectangle(skin->getColor(SHADOW), {r.left, r.top, r.left + 1, r.bottom}, clip);
    driver->drawRectangle(skin->getColor(LIGHT), {r.right - 1, r.top, r.right, r.bottom}, clip);
    driver->drawRectangle(skin->getColor(LIGHT), {r.left, r.bottom - 1, r.right, r.bottom}, clip);
}

void drawSelectionHighlight(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                            const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    const uint32_t band = skin->getColor(19);
    driver->drawRectangle(skin->getColor(18), r, clip);
    driver->drawRectangle(band, {r.left, r.top, r.left + 2, r.bottom}, clip);
    driver->drawRectangle(band, {r.left, r.top, r.right, r.top + 2}, clip);
    driver->drawRectangle(band, {r.left, r.bottom - 2, r.right, r.bottom}, clip);
    driver->drawRectangle(band, {r.right - 2, r.top, r.right, r.bottom}, clip);
}

} // namespace kelvo::gui
