// CGUITabControl: the tab control. The headers sit along the top, each as
// wide as its caption plus a margin and skin size 7 high; the active one is
// drawn raised and joined to the page area below. Without images everything
// is drawn in skin colours.
#pragma once

#include "gui/CGUIFramePieces.h"
#include "gui/CGUIImageSet.h"
#include "gui/IGUITabControl.h"

#include <vector>

namespace kelvo::gui
{

class CGUITab;

class CGUITabControl : public zu::gui::IGUITabControl
{
  public:
    // Room beside a header's caption, on each side.
    static constexpr int32_t HEADER_MARGIN = 8;

    CGUITabControl(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent, int32_t id,
                   const zu::video::SRecti& rectangle, bool border, bool background);
    ~CGUITabControl() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void setRelativePosition(const zu::video::SRecti& rectangle) override;
    // A page taken out of the control leaves its list too.
    void removeChild(zu::gui::IGUIElement* child) override;

    zu::gui::IGUITab* addTab(const zu::core::CString& caption, int32_t id) override;
    int32_t getTabCount() const override { return int32_t(m_tabs.size()); }
    zu::gui::IGUITab* getTab(int32_t index) const override;
    bool setActiveTab(int32_t index) override;
    int32_t getActiveTab() const override { return m_active; }
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void setTextColor(uint32_t color) override { m_textColor = color; }

    // A header's rectangle in absolute pixels; empty out of range.
    zu::video::SRecti getHeaderRect(int32_t index) const;

  private:
    int32_t headerHeight() const;
    // The pages' rectangle, relative to the control.
    zu::video::SRecti pageArea() const;
    void showActive();

    std::vector<CGUITab*> m_tabs; // grabbed
    int32_t m_active = -1;
    bool m_border;
    bool m_background;
    CGUIFramePieces m_pieces;
    CGUIImageSet m_tabImage{"Tab"};
    uint32_t m_textColor;
};

} // namespace kelvo::gui
