// CGUIRadioList: check boxes in a column, one of them checked. The list
// grows with each item; its items may reach outside it (it is noClip).
#pragma once

#include "gui/IGUIRadioList.h"

#include <vector>

namespace kelvo::gui
{

class CGUIRadioList : public zu::gui::IGUIRadioList
{
  public:
    CGUIRadioList(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                  const zu::video::SRecti& rectangle);
    ~CGUIRadioList() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;

    zu::gui::IGUICheckBox* addRadioButton(const zu::core::CString& caption) override;
    int32_t getItemCount() const override { return int32_t(m_items.size()); }
    zu::gui::IGUICheckBox* getItem(int32_t index) const override;
    void setSelection(int32_t index) override;
    int32_t getSelection() const override { return m_selected; }
    void setTextColor(uint32_t color) override { m_textColor = color; }

  private:
    // Grabbed, so that an item taken out of the list by other code stays valid.
    std::vector<zu::gui::IGUICheckBox*> m_items;
    int32_t m_selected = 0;
    uint32_t m_textColor = 0;
};

} // namespace kelvo::gui
