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

void drawRaisedFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    driver->drawRectangle(skin->getColor(DARK_SHADOW), r, clip);
    driver->drawRectangle(skin->getColor(LIGHT), {r.left, r.top, r.right - 1, r.bottom - 1}, clip);
    driver->drawRectangle(skin->getColor(SHADOW),
                          {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, clip);
    driver->drawRectangle(skin->getColor(FACE), {r.left + 1, r.top + 1, r.right - 2, r.bottom - 2},
                          clip);
}

void drawSunkenFrame(zu::video::IVideoDriver* driver, const zu::gui::IGUISkin* skin,
                     const zu::video::SRecti& r, const zu::video::SRecti* clip)
{
    driver->drawRectangle(skin->getColor(LIGHT), r, clip);
    driver->drawRectangle(skin->getColor(DARK_SHADOW), {r.left, r.top, r.right - 1, r.bottom - 1},
                          clip);
    driver->drawRectangle(skin->getColor(SHADOW),
                          {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, clip);
    driver->drawRectangle(skin->getColor(FACE), {r.left + 2, r.top + 2, r.right - 1, r.bottom - 1},
                          clip);
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

} // namespace kelvo::gui
