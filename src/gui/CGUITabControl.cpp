#include "gui/CGUITabControl.h"

#include "gui/CGUITab.h"
#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

CGUITabControl::CGUITabControl(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                               const SRecti& rectangle, bool border, bool background)
    : IGUITabControl(EGUIET_ELEMENT, environment, parent, id, rectangle), m_border(border),
      m_background(background), m_textColor(environment->getSkin()->getColor(8))
{
    setDebugName("CGUITabControl");
}

CGUITabControl::~CGUITabControl()
{
    for (CGUITab* tab : m_tabs)
        tab->drop();
}

int32_t CGUITabControl::headerHeight() const
{
    return m_environment->getSkin()->getSize(7);
}

SRecti CGUITabControl::pageArea() const
{
    const int32_t inset = m_border ? 2 : 0;
    return {inset, headerHeight() + inset, m_relativeRect.getWidth() - inset,
            m_relativeRect.getHeight() - inset};
}

void CGUITabControl::setRelativePosition(const SRecti& rectangle)
{
    IGUITabControl::setRelativePosition(rectangle);
    m_pieces.layOut(rectangle.getWidth(), rectangle.getHeight() - headerHeight());
    for (CGUITab* tab : m_tabs)
        tab->setRelativePosition(pageArea());
}

IGUITab* CGUITabControl::addTab(const zu::core::CString& caption, int32_t id)
{
    auto* tab = new CGUITab(m_environment, this, id, pageArea(), getTabCount());
    tab->setText(caption);
    m_tabs.push_back(tab); // the creation reference
    if (m_active < 0) m_active = 0;
    showActive();
    return tab;
}

void CGUITabControl::removeChild(IGUIElement* child)
{
    auto it = std::find(m_tabs.begin(), m_tabs.end(), child);
    if (it != m_tabs.end())
    {
        CGUITab* tab = *it;
        m_tabs.erase(it);
        for (size_t i = 0; i < m_tabs.size(); ++i)
            m_tabs[i]->setNumber(int32_t(i));
        if (m_active >= getTabCount()) m_active = getTabCount() - 1;
        IGUITabControl::removeChild(child);
        tab->setNumber(-1);
        tab->drop();
        showActive();
        return;
    }
    IGUITabControl::removeChild(child);
}

IGUITab* CGUITabControl::getTab(int32_t index) const
{
    return index >= 0 && index < getTabCount() ? m_tabs[size_t(index)] : nullptr;
}

void CGUITabControl::showActive()
{
    for (size_t i = 0; i < m_tabs.size(); ++i)
        m_tabs[i]->setVisible(int32_t(i) == m_active);
}

bool CGUITabControl::setActiveTab(int32_t index)
{
    if (index < 0 || index >= getTabCount()) return false;
    if (index == m_active) return true;
    m_active = index;
    showActive();
    sendGUIEvent(GuiTabChanged);
    return true;
}

void CGUITabControl::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_pieces.load(package, prefix);
    m_tabImage.load(package, prefix);
    m_pieces.layOut(m_relativeRect.getWidth(), m_relativeRect.getHeight() - headerHeight());
}

SRecti CGUITabControl::getHeaderRect(int32_t index) const
{
    if (index < 0 || index >= getTabCount()) return {};
    IGUIFont* font = m_environment->getSkin()->getFont();
    int32_t x = m_absoluteRect.left;
    for (int32_t i = 0;; ++i)
    {
        const int32_t text = font ? font->getDimension(m_tabs[size_t(i)]->getText()).width : 0;
        const int32_t width = text + 2 * HEADER_MARGIN;
        if (i == index)
            return {x, m_absoluteRect.top, x + width, m_absoluteRect.top + headerHeight()};
        x += width;
    }
}

bool CGUITabControl::onEvent(const SEngineEvent& event)
{
    if (event.type == MouseEvent && m_enabled &&
        (event.mouse.action == LeftDown || event.mouse.action == LeftUp))
    {
        for (int32_t i = 0; i < getTabCount(); ++i)
        {
            if (!isInside(getHeaderRect(i), {event.mouse.x, event.mouse.y})) continue;
            if (event.mouse.action == LeftUp) setActiveTab(i);
            return true;
        }
    }
    return IGUITabControl::onEvent(event);
}

void CGUITabControl::draw()
{
    if (!m_visible) return;
    zu::video::IVideoDriver* driver = m_environment->getVideoDriver();
    IGUISkin* skin = m_environment->getSkin();
    const SRecti* clip = &m_clippingRect;
    const SRecti& r = m_absoluteRect;
    const SRecti body = {r.left, r.top + headerHeight(), r.right, r.bottom};
    if (m_pieces.has(CGUIFramePieces::BACKGROUND))
        m_pieces.draw({body.left, body.top}, clip, 0xFFFFFFFF);
    else if (m_border)
        drawRaisedFrame(driver, skin, body, clip);
    else if (m_background)
        driver->drawRectangle(skin->getColor(2), body, clip);

    IGUIFont* font = skin->getFont();
    for (int32_t i = 0; i < getTabCount(); ++i)
    {
        SRecti header = getHeaderRect(i);
        // Inactive headers sit a little lower, behind the active one.
        if (i != m_active) header.top += 2;
        if (m_tabImage.has(0))
            m_tabImage.tile(0, header, true, clip);
        else
            drawRaisedFrame(driver, skin,
                            {header.left, header.top, header.right, header.bottom + 1}, clip);
        if (i == m_active && !m_tabImage.has(0))
            driver->drawRectangle(
                skin->getColor(2),
                {header.left + 1, header.bottom - 2, header.right - 2, header.bottom + 2}, clip);
        if (font)
            font->draw(m_tabs[size_t(i)]->getText(), header, m_textColor, EGUIA_CENTER,
                       EGUIA_CENTER, clip);
    }
    IGUITabControl::draw();
}

} // namespace kelvo::gui
