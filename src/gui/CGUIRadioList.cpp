#include "gui/CGUIRadioList.h"

#include "gui/CGUICheckBox.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUISkin.h"

#include <algorithm>

namespace kelvo::gui
{

using namespace zu::event;
using namespace zu::gui;

namespace
{

// Skin sizes of the rows.
constexpr int32_t ROW_HEIGHT = 8;
constexpr int32_t ROW_SPACING = 9;

} // namespace

CGUIRadioList::CGUIRadioList(IGUIEnvironment* environment, IGUIElement* parent, int32_t id,
                             const zu::video::SRecti& rectangle)
    : IGUIRadioList(EGUIET_RADIO_LIST, environment, parent, id, rectangle)
{
    setDebugName("CGUIRadioList");
    setNoClip(true);
    if (IGUISkin* skin = environment ? environment->getSkin() : nullptr)
        m_textColor = skin->getColor(8);
}

CGUIRadioList::~CGUIRadioList()
{
    for (IGUICheckBox* item : m_items)
        item->drop();
}

IGUICheckBox* CGUIRadioList::addRadioButton(const zu::core::CString& caption)
{
    IGUISkin* skin = m_environment ? m_environment->getSkin() : nullptr;
    if (!skin) return nullptr;
    const int32_t rowHeight = skin->getSize(ROW_HEIGHT);
    const int32_t spacing = skin->getSize(ROW_SPACING);
    zu::video::SRecti rect{1, 0, 10, spacing + rowHeight};
    if (!m_items.empty())
    {
        const zu::video::SRecti& last = m_items.back()->getRelativePosition();
        const int32_t top = last.bottom + spacing;
        rect = {last.left, top, last.right, top + last.getHeight()};
    }
    // The creation reference is the list's own.
    auto* item = new CGUICheckBox(m_environment, this, -m_id, rect, false, caption);
    if (m_items.empty())
    {
        item->setChecked(true);
        m_selected = 0;
    }
    if (zu::video::ISpritePackage* package = skin->getSpritePackage())
    {
        item->setImages(package, "Radiobutton");
        const zu::video::SRecti& r = item->getRelativePosition();
        if (r.getHeight() < rowHeight)
            item->setRelativePosition({r.left, r.top, r.right, r.top + rowHeight});
    }
    // Drawn in skin colours the item needs the room for its box and caption
    // as much as with images.
    item->fitWidthToText();
    const int32_t width = item->getRelativePosition().getWidth();
    item->setTextColor(m_textColor);
    m_items.push_back(item);

    const zu::video::SRecti& r = m_relativeRect;
    setRelativePosition({r.left, r.top, std::max(r.right, r.left + width + 2),
                         r.top + item->getRelativePosition().bottom});
    return item;
}

IGUICheckBox* CGUIRadioList::getItem(int32_t index) const
{
    return index >= 0 && index < getItemCount() ? m_items[size_t(index)] : nullptr;
}

void CGUIRadioList::setSelection(int32_t index)
{
    if (index < 0 || index >= getItemCount()) return;
    for (IGUICheckBox* item : m_items)
        item->setChecked(false);
    m_items[size_t(index)]->setChecked(true);
    m_selected = index;
}

bool CGUIRadioList::onEvent(const SEngineEvent& event)
{
    if (event.type == GuiEvent && event.gui.eventType == GuiCheckBoxToggled && event.gui.caller &&
        event.gui.caller->getParent() == this && event.gui.caller->getID() == -m_id)
    {
        IGUICheckBox* selected = getItem(m_selected);
        // Clicking the selected item unchecked it: it stays the choice.
        if (selected && !selected->isChecked())
        {
            selected->setChecked(true);
            return true;
        }
        if (selected) selected->setChecked(false);
        for (int32_t i = 0; i < getItemCount(); ++i)
            if (m_items[size_t(i)]->isChecked()) m_selected = i;
        sendGUIEvent(GuiRadioChanged);
        return true;
    }
    return IGUIRadioList::onEvent(event);
}

} // namespace kelvo::gui
