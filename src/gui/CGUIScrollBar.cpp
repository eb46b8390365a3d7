#include "gui/CGUIScrollBar.h"

#include "gui/CGUIButton.h"
#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

namespace
{

// Truncates toward zero; values past the range of a position are limited to
// it first, so no conversion goes out of range.
int32_t truncated(float value, int32_t low, int32_t high)
{
    if (std::isnan(value) || value <= float(low)) return low;
    // float(high) may round up past high; anything below it converts.
    if (value >= float(high)) return high;
    return int32_t(value);
}

zu::core::CString caption(char code)
{
    return zu::core::CString(&code, 1);
}

} // namespace

CGUIScrollBar::CGUIScrollBar(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                             const SRecti& rectangle, bool horizontal, bool drawUnclipped)
    : IGUIScrollBar(EGUIET_SCROLL_BAR, environment, parent, id, rectangle),
      m_creationRect(rectangle), m_horizontal(horizontal), m_drawUnclipped(drawUnclipped)
{
    setDebugName("CGUIScrollBar");
    SRecti first, second;
    arrowRects(rectangle, first, second);
    // The creation references are the bar's own; the children list holds
    // the others.
    m_first = new CGUIButton(environment, this, -1, first,
                             caption(horizontal ? ARROW_LEFT : ARROW_UP), drawUnclipped);
    m_second = new CGUIButton(environment, this, -1, second,
                              caption(horizontal ? ARROW_RIGHT : ARROW_DOWN), drawUnclipped);
    IGUIFont* arrows = environment ? environment->getBuiltInFont() : nullptr;
    m_first->setOverrideFont(arrows);
    m_second->setOverrideFont(arrows);
    // A square thumb as broad as the bar, unless images say otherwise.
    const int32_t breadth = horizontal ? rectangle.getHeight() : rectangle.getWidth();
    m_thumbRect = {0, 0, breadth, breadth};
    layOutTrack();
    IGUISkin* skin = environment ? environment->getSkin() : nullptr;
    if (zu::video::ISpritePackage* package = skin ? skin->getSpritePackage() : nullptr)
        setImages(package, horizontal ? "HorScroll" : "VerScroll");
    setPos(0);
}

CGUIScrollBar::~CGUIScrollBar()
{
    zu::dropAndClear(m_first);
    zu::dropAndClear(m_second);
}

int64_t CGUIScrollBar::wheelDistance(float wheel)
{
    if (std::isnan(wheel)) return 0;
    const float limit = 1e6f;
    return -int64_t(int32_t(std::clamp(wheel, -limit, limit))) * WHEEL_STEP;
}

void CGUIScrollBar::arrowRects(const SRecti& bar, SRecti& first, SRecti& second) const
{
    const int32_t w = bar.getWidth(), h = bar.getHeight();
    const int32_t breadth = m_horizontal ? h : w;
    first = {0, 0, breadth, breadth};
    second = m_horizontal ? SRecti{w - breadth, 0, w, breadth} : SRecti{0, h - breadth, breadth, h};
}

void CGUIScrollBar::layOutTrack()
{
    const SRecti& first = m_first->getRelativePosition();
    const SRecti& second = m_second->getRelativePosition();
    const int32_t w = m_relativeRect.getWidth(), h = m_relativeRect.getHeight();
    m_trackRect = m_horizontal ? SRecti{first.right, 0, second.left, h}
                               : SRecti{0, first.bottom, w, second.top};
}

void CGUIScrollBar::setRelativePosition(const SRecti& rectangle)
{
    const SRecti old = m_relativeRect;
    IGUIScrollBar::setRelativePosition(rectangle);
    if (!m_second) return;
    if (m_horizontal)
        m_second->move(rectangle.getWidth() - old.getWidth(), 0);
    else
        m_second->move(0, rectangle.getHeight() - old.getHeight());
    layOutTrack();
    setPos(m_pos);
}

void CGUIScrollBar::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_thumb = nullptr;
    m_images.load(package, prefix);
    m_plainThumb.release();
    if (!m_images.has(THUMB_NORMAL)) m_plainThumb.load(package, prefix);
    // A package without thumb images keeps the block of the colour look.
    if (zu::video::ISpriteAnimationState* normal = thumbImage(THUMB_NORMAL))
    {
        const zu::core::SDimension2i size = normal->getSize(0);
        m_thumbRect = {0, 0, size.width, size.height};
    }
    SRecti firstHome, secondHome;
    arrowRects(m_creationRect, firstHome, secondHome);
    const struct
    {
        CGUIButton* button;
        const char* name;
        SRecti home;
        char arrow;
    } arrows[] = {
        {m_first, m_horizontal ? "Left" : "Up", firstHome, m_horizontal ? ARROW_LEFT : ARROW_UP},
        {m_second, m_horizontal ? "Right" : "Down", secondHome,
         m_horizontal ? ARROW_RIGHT : ARROW_DOWN},
    };
    for (const auto& arrow : arrows)
    {
        arrow.button->setImages(package, prefix + arrow.name, true);
        // An arrow the package has no picture of stays a captioned button
        // of the bar's breadth.
        if (arrow.button->hasImages())
            arrow.button->setText(zu::core::CString());
        else
        {
            arrow.button->setRelativePosition(arrow.home);
            arrow.button->setText(caption(arrow.arrow));
        }
    }
    // Back to the creation rectangle, as broad as the arrows, with the
    // second arrow at the far end.
    const SRecti second = m_second->getRelativePosition();
    SRecti bar = m_creationRect;
    if (m_horizontal)
        bar.top = bar.bottom - second.getHeight();
    else
        bar.left = bar.right - second.getWidth();
    IGUIScrollBar::setRelativePosition(bar);
    m_first->moveTo(0, 0);
    if (m_horizontal)
        m_second->moveTo(bar.getWidth() - second.getWidth(), 0);
    else
        m_second->moveTo(0, bar.getHeight() - second.getHeight());
    layOutTrack();
    setPos(m_pos);
    chooseThumb(ETS_NORMAL);
}

void CGUIScrollBar::setMax(int32_t max)
{
    m_max = std::max(0, max);
    m_first->setEnabled(m_max != 0);
    m_second->setEnabled(m_max != 0);
    m_smallStep = m_max / 50 > 0 ? m_max / 50 : 1;
    m_largeStep = m_max / 5;
    setPos(m_pos);
}

void CGUIScrollBar::setSteps(int32_t small, int32_t large)
{
    m_smallStep = small > 0 ? small : 1;
    m_largeStep = large > 0 ? large : 1;
}

void CGUIScrollBar::setPos(int32_t pos)
{
    m_pos = std::clamp(pos, 0, m_max);
    m_thumbLength = m_horizontal ? m_thumbRect.getWidth() : m_thumbRect.getHeight();
    // Without a range there is no thumb to place.
    if (m_max == 0) return;
    const int32_t track = m_horizontal ? m_trackRect.getWidth() : m_trackRect.getHeight();
    const float offset =
        float(track - m_thumbLength) / float(m_max) * float(m_pos) + float(m_thumbLength);
    m_thumbOffset =
        truncated(offset, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

void CGUIScrollBar::moveBy(int64_t amount)
{
    setPos(int32_t(std::clamp(int64_t(m_pos) + amount, int64_t(0), int64_t(m_max))));
}

int32_t CGUIScrollBar::fromThumb(const SMouseEvent& mouse) const
{
    return m_horizontal ? mouse.x - m_absoluteRect.left - m_thumbOffset
                        : mouse.y - m_absoluteRect.top - m_thumbOffset;
}

void CGUIScrollBar::dragTo(const SMouseEvent& mouse)
{
    const int32_t track = m_horizontal ? m_trackRect.getWidth() : m_trackRect.getHeight();
    // A thumb that fills its track has nowhere to go.
    if (m_max == 0 || track <= m_thumbLength) return;
    const float perPosition = float(track - m_thumbLength) / float(m_max);
    const int64_t along = m_horizontal ? int64_t(mouse.x) - m_absoluteRect.left
                                       : int64_t(mouse.y) - m_absoluteRect.top;
    const float pixels = float(along - m_thumbLength / 2 - m_thumbLength);
    setPos(truncated(pixels / perPosition, 0, m_max));
}

zu::video::ISpriteAnimationState* CGUIScrollBar::thumbImage(size_t index) const
{
    if (index == THUMB_NORMAL && !m_images.has(THUMB_NORMAL)) return m_plainThumb.get(0);
    return m_images.get(index);
}

void CGUIScrollBar::chooseThumb(EThumbState state)
{
    m_thumbState = state;
    zu::video::ISpriteAnimationState* image = thumbImage(THUMB_NORMAL + size_t(state));
    if (!m_enabled) image = thumbImage(THUMB_DISABLED);
    if (!image) image = thumbImage(THUMB_NORMAL);
    if (!image || image == m_thumb) return;
    m_thumb = image;
    image->reset();
}

bool CGUIScrollBar::onEvent(const SEngineEvent& event)
{
    if (!m_enabled) return IGUIScrollBar::onEvent(event);
    if (event.type == GuiEvent)
    {
        const IGUIElement* caller = event.gui.caller;
        if (event.gui.eventType == GuiClicked && (caller == m_first || caller == m_second))
        {
            moveBy(caller == m_first ? -int64_t(m_smallStep) : int64_t(m_smallStep));
            chooseThumb(ETS_NORMAL);
            sendGUIEvent(GuiScrollBarMoved);
            return true;
        }
        if (event.gui.eventType == GuiFocusLost)
        {
            m_dragging = false;
            chooseThumb(ETS_NORMAL);
            return true;
        }
        // The thumb does not stay lit once the mouse has gone.
        if (event.gui.eventType == GuiLeft && caller == this && !m_dragging)
            chooseThumb(ETS_NORMAL);
    }
    else if (event.type == MouseEvent)
    {
        const SMouseEvent& mouse = event.mouse;
        switch (mouse.action)
        {
        case LeftDown:
            return onMouse(mouse);
        case LeftUp:
        {
            // The focus goes first: losing it would put the thumb back to
            // normal under a mouse that is still over it.
            const bool dragged = m_dragging;
            m_dragging = false;
            m_environment->removeFocus(this);
            chooseThumb(dragged ? ETS_HIGHLIGHTED : ETS_NORMAL);
            return true;
        }
        case MouseMoved:
            if (m_dragging)
            {
                const int32_t old = m_pos;
                dragTo(mouse);
                chooseThumb(ETS_PRESSED);
                if (m_pos != old) sendGUIEvent(GuiScrollBarMoved);
                return true;
            }
            {
                const int32_t d = fromThumb(mouse);
                chooseThumb(m_max != 0 && d >= 0 && d < m_thumbLength ? ETS_HIGHLIGHTED
                                                                      : ETS_NORMAL);
            }
            break;
        case MouseWheel:
            moveBy(wheelDistance(mouse.wheel));
            chooseThumb(ETS_NORMAL);
            sendGUIEvent(GuiScrollBarMoved);
            // What is behind the bar may scroll too.
            return false;
        default:
            break;
        }
    }
    return IGUIScrollBar::onEvent(event);
}

bool CGUIScrollBar::onMouse(const SMouseEvent& mouse)
{
    // A press elsewhere while the bar kept the focus is for what is there.
    if (m_environment->hasFocus(this) && !isInside(m_absoluteRect, {mouse.x, mouse.y}))
    {
        m_environment->removeFocus(this);
        return false;
    }
    // The focus comes first, so that a handler of the report may remove the
    // bar and take the focus with it.
    m_environment->setFocus(this);
    const int32_t d = fromThumb(mouse);
    // Without a range every press is a press before the thumb.
    if (m_max == 0 || d < 0 || d > m_thumbLength)
    {
        const bool before = m_max == 0 || d < 0;
        moveBy(before ? -int64_t(m_largeStep) : int64_t(m_largeStep));
        chooseThumb(ETS_NORMAL);
        sendGUIEvent(GuiScrollBarMoved);
    }
    else
    {
        m_dragging = true;
        chooseThumb(ETS_PRESSED);
    }
    return true;
}

void CGUIScrollBar::draw()
{
    if (!m_visible) return;
    // A bar switched off or on since the last event shows it.
    chooseThumb(m_thumbState);
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    const SRecti* clip = m_drawUnclipped ? nullptr : &m_clippingRect;
    const SRecti& r = m_absoluteRect;
    if (m_images.has(BACKGROUND))
        m_images.tile(BACKGROUND,
                      {r.left + m_trackRect.left, r.top + m_trackRect.top,
                       r.left + m_trackRect.right, r.top + m_trackRect.bottom},
                      m_horizontal, clip);
    else
        driver->drawRectangle(skin->getColor(15), r, clip);
    if (m_max != 0)
    {
        const zu::video::SPosition2i at =
            m_horizontal ? zu::video::SPosition2i{r.left + m_thumbOffset, r.top}
                         : zu::video::SPosition2i{r.left, r.top + m_thumbOffset};
        if (m_thumb)
            m_thumb->drawAt(at, clip, 0xFFFFFFFF);
        else if (m_horizontal)
            drawRaisedFrame(driver, skin, {at.x, r.top, at.x + m_thumbLength, r.bottom}, clip);
        else
            drawRaisedFrame(driver, skin, {r.left, at.y, r.right, at.y + m_thumbLength}, clip);
    }
    IGUIScrollBar::draw();
}

} // namespace kelvo::gui
