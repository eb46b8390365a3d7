// CGuiElementWrapper: one component of the gui table: a GUI element made by
// CLuaGuiLibrary and the script table that stands for it. The table carries
// the methods below (called with the colon form) and whatever callbacks the
// script stores in it.
//
// The wrapper does not hold the element (its parent does); the element tells
// the wrapper when it is destroyed, and from then on every method does
// nothing. Methods meant for other kinds of element do nothing either and
// return nothing. No method raises a script error.
#pragma once

#include "core/CString.h"
#include "lua/luaCpp/Lunamatic.h"

#include <cstdint>

namespace zu::gui
{
class IGUIElement;
}

namespace zu::lua
{

class CLuaGuiLibrary;

class CGuiElementWrapper : public Lunamatic<CGuiElementWrapper>
{
  public:
    static constexpr const char* className = "Component";
    static constexpr EArgRule argRule = EAR_LENIENT;
    static const SLuaMethod<CGuiElementWrapper> methods[];

    CGuiElementWrapper(lua_State* L, CLuaGuiLibrary* library, int32_t id,
                       const core::CString& name, gui::IGUIElement* element);
    ~CGuiElementWrapper() override;

    // Null once the element was destroyed or the component removed.
    gui::IGUIElement* getElement() const { return m_element; }
    // Forgets the element: the component is being removed.
    void detach();
    int32_t getId() const { return m_id; }
    const core::CString& getName() const { return m_name; }

    // General methods, in the order of the method list.
    int remove(const CLuaArgs& args);
    int getRelativePosition(const CLuaArgs& args);
    int setRelativePosition(const CLuaArgs& args);
    int setWidth(const CLuaArgs& args);
    int setHeight(const CLuaArgs& args);
    int hasBeenResized(const CLuaArgs& args);
    int getAbsolutePosition(const CLuaArgs& args);
    int getAbsoluteClippingRect(const CLuaArgs& args);
    int getParentAbsoluteClippingRect(const CLuaArgs& args);
    int updateAbsolutePosition(const CLuaArgs& args);
    int move(const CLuaArgs& args);
    int moveTo(const CLuaArgs& args);
    int centerOnParent(const CLuaArgs& args);
    int isVisible(const CLuaArgs& args);
    int setVisible(const CLuaArgs& args);
    int isEnabled(const CLuaArgs& args);
    int setEnabled(const CLuaArgs& args);
    int isFixed(const CLuaArgs& args);
    int setFixed(const CLuaArgs& args);
    int isNoClip(const CLuaArgs& args);
    int setNoClip(const CLuaArgs& args);
    int doesReportOnDraw(const CLuaArgs& args);
    int setReportOnDraw(const CLuaArgs& args);
    int setText(const CLuaArgs& args);
    int getText(const CLuaArgs& args);
    int setRiver(const CLuaArgs& args);
    int getRiver(const CLuaArgs& args);
    int getPreferredSize(const CLuaArgs& args);
    int bringToFront(const CLuaArgs& args);

    // Kind-specific methods.
    int setFont(const CLuaArgs& args);
    int setTextColor(const CLuaArgs& args);
    int getOverrideColor(const CLuaArgs& args);
    int enableOverrideColor(const CLuaArgs& args);
    int setWordWrap(const CLuaArgs& args);
    int setTextAlignment(const CLuaArgs& args);
    int getTextHeight(const CLuaArgs& args);
    int setParagraphIcon(const CLuaArgs& args);
    int activateProgressiveReveal(const CLuaArgs& args);
    int getTotalProgressiveTime(const CLuaArgs& args);
    int activateOffsetScrollingToEnsureVisibleText(const CLuaArgs& args);
    int packSize(const CLuaArgs& args);
    int setAnimations(const CLuaArgs& args);
    int setIsPushButton(const CLuaArgs& args);
    int setPressed(const CLuaArgs& args);
    int isPressed(const CLuaArgs& args);
    int fakeButtonClick(const CLuaArgs& args);
    int setChecked(const CLuaArgs& args);
    int isChecked(const CLuaArgs& args);
    int getItemCount(const CLuaArgs& args);
    int getTextItem(const CLuaArgs& args);
    int addTextItem(const CLuaArgs& args);
    int clear(const CLuaArgs& args);
    int getSelected(const CLuaArgs& args);
    int setSelected(const CLuaArgs& args);
    int setMaxLength(const CLuaArgs& args);
    int getMaxLength(const CLuaArgs& args);
    int setPassword(const CLuaArgs& args);
    int setAssociatedButton(const CLuaArgs& args);
    int setFocus(const CLuaArgs& args);
    int sortFlow(const CLuaArgs& args);
    int sortVertically(const CLuaArgs& args);
    int sortHorizontally(const CLuaArgs& args);
    int sortRiver(const CLuaArgs& args);
    int getContentArea(const CLuaArgs& args);
    int setPopupMenuTitleFont(const CLuaArgs& args);
    int setPopupMenuItemsFont(const CLuaArgs& args);
    int addMenuOption(const CLuaArgs& args);
    int setResizable(const CLuaArgs& args);
    int setLocked(const CLuaArgs& args);
    int setFadeable(const CLuaArgs& args);
    int setLockable(const CLuaArgs& args);
    int setHideable(const CLuaArgs& args);
    int stopDragging(const CLuaArgs& args);
    int setMenuVisible(const CLuaArgs& args);
    int addTab(const CLuaArgs& args);
    int getTabCount(const CLuaArgs& args);
    int getTabCaption(const CLuaArgs& args);
    int setActiveTab(const CLuaArgs& args);
    int highlightTab(const CLuaArgs& args);
    int getActiveTab(const CLuaArgs& args);
    int setHighlightColor(const CLuaArgs& args);
    int setSelectable(const CLuaArgs& args);
    int removeItem(const CLuaArgs& args);
    int setMax(const CLuaArgs& args);
    int setPos(const CLuaArgs& args);
    int getPos(const CLuaArgs& args);
    int addRadioButton(const CLuaArgs& args);
    int setSelection(const CLuaArgs& args);
    int getSelection(const CLuaArgs& args);

  private:
    // The element as that interface when it is of the kind, else null.
    template <class T> T* as() const;

    CLuaGuiLibrary* m_library;
    int32_t m_id;
    core::CString m_name;
    gui::IGUIElement* m_element;
};

} // namespace zu::lua
