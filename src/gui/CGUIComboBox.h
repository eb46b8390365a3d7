// CGUIComboBox: the combo box. The drop-down list is a list box at the top
// of the tree, owned by the box: it goes with the box, so removing the box
// (or what holds it) while the list is open leaves nothing behind.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUIComboBox.h"

#include <vector>

namespace kelvo::gui
{

class CGUIButton;

class CGUIComboBox : public zu::gui::IGUIComboBox
{
  public:
    static constexpr int32_t MAX_ROWS = 10;

    CGUIComboBox(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                 const zu::video::SRecti& rectangle);
    ~CGUIComboBox() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void remove() override;
    // The button stays at the right end and the box takes its height.
    void setRelativePosition(const zu::video::SRecti& rectangle) override;

    int32_t getItemCount() const override { return int32_t(m_items.size()); }
    zu::core::CString getItem(int32_t index) const override;
    int32_t addItem(const zu::core::CString& text) override;
    void clear() override;
    int32_t getSelected() const override { return m_selected; }
    void setSelected(int32_t index) override;
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void toggle() override;
    zu::gui::IGUIListBox* getDropDown() const override;

    zu::gui::IGUIElement* getButton() const;

  private:
    bool isOpen() const;
    void openList();
    void closeList();
    bool onMouse(const zu::event::SEngineEvent& event);
    // Hands the event to the open list, keeping both alive.
    bool offerToList(const zu::event::SEngineEvent& event);

    CGUIButton* m_button = nullptr; // grabbed
    std::vector<zu::core::CString> m_items;
    int32_t m_selected = -1;
    zu::gui::IGUIListBox* m_list = nullptr; // grabbed while open
    CGUIImageSet m_images{"Background", "Left"};
};

} // namespace kelvo::gui
