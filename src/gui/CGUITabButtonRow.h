// CGUITabButtonRow: the tab button row. Without its Top image it draws
// nothing at all.
#pragma once

#include "gui/CGUIImageSet.h"
#include "gui/IGUITabButtonRow.h"

#include <vector>

namespace kelvo::gui
{

class CGUITabButtonRow : public zu::gui::IGUITabButtonRow
{
  public:
    static constexpr uint32_t DEFAULT_HIGHLIGHT = 0xFF64DC64;

    CGUITabButtonRow(zu::gui::IGUIEnvironment* environment, zu::gui::IGUIElement* parent,
                     int32_t id, const zu::video::SRecti& rectangle);

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void draw() override;
    void setRelativePosition(const zu::video::SRecti& rectangle) override;

    int32_t addTab(const zu::core::CString& caption, bool closable) override;
    int32_t getTabCount() const override { return int32_t(m_tabs.size()); }
    zu::core::CString getTabCaption(int32_t index) const override;
    bool setActiveTab(int32_t index) override;
    void highlightTab(int32_t index, bool on) override;
    int32_t getActiveTab() const override { return m_active; }
    void setImages(zu::video::ISpritePackage* package, const zu::core::CString& prefix) override;
    void setTextColor(uint32_t color) override { m_textColor = color; }
    void setFont(zu::gui::IGUIFont* font) override { m_font = font; }
    void setHighlightColor(uint32_t color) override { m_highlightColor = color; }
    int32_t getTabX(int32_t index) const override;
    int32_t getHoveredTab() const override { return m_hovered; }

  private:
    enum EImage : size_t
    {
        TOP,
        TAB_NORMAL,
        TAB_HIGHLIGHTED,
        TOP_INNER
    };
    struct STab
    {
        zu::core::CString caption;
        bool closable;
        bool highlighted;
        int32_t x;
    };

    bool valid(int32_t index) const { return index >= 0 && index < getTabCount(); }
    int32_t tabWidth() const;
    // Places the tabs side by side, or overlapping by an even step when the
    // row is too narrow for them.
    void layOutTabs();
    // The tab under a point relative to the row, -1 for none.
    int32_t tabAt(int32_t x) const;
    void drawTab(int32_t index);
    void drawCaption(int32_t index);

    std::vector<STab> m_tabs;
    int32_t m_active = -1;
    int32_t m_hovered = -1;
    bool m_overClose = false;
    CGUIImageSet m_images{"Top", "TabNormal", "TabHighlighted", "TopInner"};
    // Normal and highlighted, under their whole names.
    CGUIImageSet m_closeMarks{"CloseBtnNormal", "CloseBtnHighlighted"};
    zu::video::SPosition2i m_closeOffset;
    uint32_t m_textColor;
    uint32_t m_highlightColor = DEFAULT_HIGHLIGHT;
    zu::gui::IGUIFont* m_font;
};

} // namespace kelvo::gui
