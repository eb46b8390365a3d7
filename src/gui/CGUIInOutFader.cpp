#include "gui/CGUIInOutFader.h"

#include "gui/IGUIEnvironment.h"
#include "video/IVideoDriver.h"

namespace kelvo::gui
{

CGUIInOutFader::CGUIInOutFader(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                               int32_t id, const zu::video::SRecti& rectangle)
    : IGUIInOutFader(zu::gui::EGUIET_ELEMENT, environment, parent, id, rectangle)
{
    setDebugName("CGUIInOutFader");
}

void CGUIInOutFader::start(uint32_t milliseconds, EState state)
{
    m_startTime = getTime();
    m_endTime = m_startTime + milliseconds;
    m_state = state;
    const uint32_t opaque = m_color | 0xFF000000, clear = m_color & 0x00FFFFFF;
    m_startColor = state == FADING_IN ? opaque : clear;
    m_endColor = state == FADING_IN ? clear : opaque;
}

void CGUIInOutFader::fadeIn(uint32_t milliseconds)
{
    start(milliseconds, FADING_IN);
}

void CGUIInOutFader::fadeOut(uint32_t milliseconds)
{
    start(milliseconds, FADING_OUT);
}

bool CGUIInOutFader::isReady() const
{
    return getTime() >= m_endTime;
}

void CGUIInOutFader::draw()
{
    if (!m_visible || m_state == IDLE) return;
    const uint32_t now = getTime();
    if (now >= m_endTime && m_state == FADING_IN)
    {
        m_state = IDLE;
        return;
    }
    // The share of the start colour: 1 at the start, 0 from the end on.
    const uint32_t span = m_endTime - m_startTime;
    const float f = now >= m_endTime || span == 0 ? 0.f : float(m_endTime - now) / float(span);
    uint32_t color = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const float a = float((m_startColor >> shift) & 0xFF),
                    b = float((m_endColor >> shift) & 0xFF);
        color |= uint32_t(a * f + b * (1.f - f) + 0.5f) << shift;
    }
    m_environment->getVideoDriver()->drawRectangle(color, m_absoluteRect, &m_clippingRect);
    IGUIInOutFader::draw();
}

} // namespace kelvo::gui
