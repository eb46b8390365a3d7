#include "gui/CGUIComboBox.h"

#include "gui/CGUIButton.h"
#include "gui/CGUIListBox.h"
#include "gui/GUIFrames.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"

#include <algorithm>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;
using zu::video::SRecti;

CGUIComboBox::CGUIComboBox(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                           const SRecti& rectangle)
    : IGUIComboBox(EGUIET_COMBO_BOX, environment, parent, id, rectangle)
{
    setDebugName("CGUIComboBox");
    m_button = new CGUIButton(environment, this, -1, {0, 0, 20, 20}, "");
    zu::video::ISpritePackage* package = environment->getSkin()->getSpritePackage();
    if (package)
    {
        m_button->setRelativePosition({0, 0, 20, 20});
        m_button->setImages(package, "Combobox", true);
        setImages(package, "EditBox");
    }
    setRelativePosition(rectangle);
}

CGUIComboBox::~CGUIComboBox()
{
    closeList();
    zu::dropAndClear(m_button);
}

IGUIElement* CGUIComboBox::getButton() const
{
    return m_button;
}

IGUIListBox* CGUIComboBox::getDropDown() const
{
    return isOpen() ? m_list : nullptr;
}

void CGUIComboBox::remove()
{
    // The list lives at the top of the tree: it would outlive the box.
    grab();
    closeList();
    IGUIComboBox::remove();
    drop();
}

void CGUIComboBox::setRelativePosition(const SRecti& rectangle)
{
    const int32_t height = m_button ? m_button->getRelativePosition().getHeight() : 20;
    IGUIComboBox::setRelativePosition(
        {rectangle.left, rectangle.top, rectangle.right, rectangle.top + height});
    if (!m_button) return;
    const int32_t width = m_button->getRelativePosition().getWidth();
    const int32_t x = rectangle.getWidth() - width;
    m_button->setRelativePosition({x, 0, x + width, height});
}

zu::core::CString CGUIComboBox::getItem(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)] : zu::core::CString();
}

int32_t CGUIComboBox::addItem(const zu::core::CString& text)
{
    m_items.push_back(text);
    if (m_selected < 0)
    {
        m_selected = 0;
        setText(text);
    }
    return getItemCount() - 1;
}

void CGUIComboBox::clear()
{
    m_items.clear();
    m_selected = -1;
}

void CGUIComboBox::setSelected(int32_t index)
{
    if (index < 0 || index >= getItemCount()) return;
    m_selected = index;
    setText(m_items[size_t(index)]);
}

void CGUIComboBox::setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix)
{
    m_images.load(package, prefix);
}

bool CGUIComboBox::isOpen() const
{
    // A list something else took out of the tree is closed.
    return m_list && m_list->getParent();
}

void CGUIComboBox::toggle()
{
    if (isOpen())
        closeList();
    else
        openList();
}

void CGUIComboBox::openList()
{
    closeList();
    if (m_parent) m_parent->bringToFront(this);
    IGUIFont* font = m_environment->getSkin()->getFont();
    const int32_t rows = std::clamp(getItemCount(), 1, MAX_ROWS);
    const int32_t line = font ? font->getDimension("A").height : 0;
    const SRecti& r = m_absoluteRect;
    const SRecti area = {r.left, r.bottom, r.right, r.bottom + rows * (line + 1) + r.getHeight()};
    auto* list =
        new CGUIListBox(m_environment, m_environment->getRootGUIElement(), -1, area, true, true);
    m_list = list; // keeps the creation reference
    for (const zu::core::CString& item : m_items)
        list->addItem(item, nullptr, 0xFFFFFFFF, false, false);
    list->refresh(false);
    list->setOwner(this);
    // Selectable first, so that the choice is marked in the list.
    list->setSelectable(true);
    list->setSelected(m_selected);
    m_environment->setFocus(list);
}

void CGUIComboBox::closeList()
{
    if (!m_list) return;
    IGUIListBox* list = m_list;
    m_list = nullptr;
    list->setOwner(nullptr);
    list->remove();
    list->drop();
}

bool CGUIComboBox::offerToList(const SEngineEvent& event)
{
    IGUIListBox* list = m_list;
    grab();
    list->grab();
    const bool taken = list->onEvent(event);
    list->drop();
    drop();
    return taken;
}

bool CGUIComboBox::onEvent(const SEngineEvent& event)
{
    if (event.type == GuiEvent)
    {
        const IGUIElement* caller = event.gui.caller;
        const bool fromList = isOpen() && caller == m_list;
        switch (event.gui.eventType)
        {
        case GuiClicked:
            if (caller != m_button) break;
            toggle();
            return true;
        case GuiListBoxChanged:
            if (fromList)
            {
                const int32_t chosen = m_list->getSelected();
                grab();
                closeList();
                if (chosen >= 0 && chosen < getItemCount()) setSelected(chosen);
                sendGUIEvent(GuiComboBoxChanged);
                drop();
            }
            return true;
        case GuiListBoxSelectedAgain:
            if (!fromList) break;
            closeList();
            return true;
        case GuiFocusLost:
            // The open list lost the focus: a press elsewhere closes it; one
            // on the box toggles it when released.
            if (!fromList) break;
            if (!isInside(m_absoluteRect, m_environment->getLastMousePosition())) closeList();
            return true;
        default:
            break;
        }
    }
    else if (event.type == MouseEvent && m_enabled && onMouse(event))
        return true;
    return IGUIComboBox::onEvent(event);
}

bool CGUIComboBox::onMouse(const SEngineEvent& event)
{
    const zu::video::SPosition2i point = {event.mouse.x, event.mouse.y};
    const bool inside = isInside(m_absoluteRect, point);
    const bool inList = isOpen() && isInside(m_list->getAbsolutePosition(), point);
    switch (event.mouse.action)
    {
    case LeftDown:
        if (inList && offerToList(event)) return true;
        if (inside) return true;
        m_environment->removeFocus(this);
        return false;
    case LeftUp:
        if (inList && offerToList(event)) return true;
        if (inside)
        {
            toggle();
            return true;
        }
        closeList();
        m_environment->removeFocus(this);
        return false;
    default:
        return false;
    }
}

void CGUIComboBox::draw()
{
    if (!m_visible) return;
    IGUISkin* skin = m_environment->getSkin();
    const SRecti& r = m_absoluteRect;
    const int32_t buttonLeft = m_button ? m_button->getAbsolutePosition().left : r.right;
    if (m_images.has(0) || m_images.has(1))
    {
        const zu::core::SDimension2i left = m_images.size(1);
        m_images.draw(1, {r.left, r.top}, &m_clippingRect);
        m_images.tile(0, {r.left + left.width, r.top, buttonLeft, r.bottom}, true, &m_clippingRect);
    }
    else
        drawFieldFrame(m_environment->getVideoDriver(), skin, r, &m_clippingRect);
    IGUIFont* font = skin->getFont();
    if (font && m_selected >= 0 && m_selected < getItemCount())
        font->draw(m_items[size_t(m_selected)], {r.left + 2, r.top, buttonLeft, r.bottom},
                   skin->getColor(8), EGUIA_UPPERLEFT, EGUIA_CENTER, &m_clippingRect);
    IGUIComboBox::draw();
}

} // namespace kelvo::gui
