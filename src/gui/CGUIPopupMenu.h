// CGUIPopupMenu: the popup menu. It covers its parent, so it sees every
// press, and holds its item frame at the position asked for.
#pragma once

#include "gui/IGUIPopupMenu.h"

namespace zu::gui
{
class IGUIFont;
class IGUIWindow;
} // namespace zu::gui

namespace kelvo::gui
{

class CGUIPopupMenu : public zu::gui::IGUIPopupMenu
{
  public:
    CGUIPopupMenu(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                  zu::video::SPosition2i position, int32_t width, const zu::core::CString& title,
                  zu::gui::IGUIFont* titleFont, zu::gui::IGUIFont* itemFont);
    ~CGUIPopupMenu() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    // Forgets the owner: nothing is reported after this.
    void remove() override;

    void addItem(const zu::core::CString& text, int32_t commandId) override;
    void setOwner(zu::gui::IGUIElement* owner) override { m_owner = owner; }
    zu::gui::IGUIElement* getOwner() const override { return m_owner ? m_owner : m_parent; }
    zu::gui::IGUIElement* getItemFrame() const override;
    int32_t getHoveredItem() const override { return m_hovered; }
    void close() override;

  private:
    // The entries: the frame's children after the title.
    zu::gui::IGUIElement* entry(int32_t index) const;
    int32_t entryAt(zu::video::SPosition2i point) const;
    // To the owner, keeping the popup and the owner alive.
    void report(zu::gui::IGUIElement* caller, zu::event::GUIEventType type);

    zu::gui::IGUIWindow* m_frame = nullptr; // grabbed
    bool m_hasTitle = false;
    int32_t m_itemWidth;
    zu::gui::IGUIFont* m_itemFont;
    int32_t m_hovered = -1;
    zu::gui::IGUIElement* m_owner = nullptr;
    bool m_closed = false;
};

} // namespace kelvo::gui
