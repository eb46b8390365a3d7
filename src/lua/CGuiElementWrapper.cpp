#include "lua/CGuiElementWrapper.h"

#include "gui/IGUIButton.h"
#include "gui/IGUICheckBox.h"
#include "gui/IGUIComboBox.h"
#include "gui/IGUIDetachableFrame.h"
#include "gui/IGUIEditBox.h"
#include "gui/IGUIElement.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUILayout.h"
#include "gui/IGUIListBox.h"
#include "gui/IGUIRadioList.h"
#include "gui/IGUIScrollBar.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "gui/IGUITabButtonRow.h"
#include "gui/IGUITextButton.h"
#include "gui/IGUIWindow.h"
#include "lua/CLuaGuiLibrary.h"
#include "lua/CLuaWChar.h"
#include "lua/luaCpp/LuaClassBinder.h"

namespace zu::lua
{

using core::CString;
using gui::IGUIElement;

const SLuaMethod<CGuiElementWrapper> CGuiElementWrapper::methods[] = {
    {"remove", &CGuiElementWrapper::remove},
    {"getRelativePosition", &CGuiElementWrapper::getRelativePosition},
    {"setRelativePosition", &CGuiElementWrapper::setRelativePosition},
    {"setWidth", &CGuiElementWrapper::setWidth},
    {"setHeight", &CGuiElementWrapper::setHeight},
    {"hasBeenResized", &CGuiElementWrapper::hasBeenResized},
    {"getAbsolutePosition", &CGuiElementWrapper::getAbsolutePosition},
    {"getAbsoluteClippingRect", &CGuiElementWrapper::getAbsoluteClippingRect},
    {"getParentAbsoluteClippingRect", &CGuiElementWrapper::getParentAbsoluteClippingRect},
    {"updateAbsolutePosition", &CGuiElementWrapper::updateAbsolutePosition},
    {"move", &CGuiElementWrapper::move},
    {"moveTo", &CGuiElementWrapper::moveTo},
    {"centerOnParent", &CGuiElementWrapper::centerOnParent},
    {"isVisible", &CGuiElementWrapper::isVisible},
    {"setVisible", &CGuiElementWrapper::setVisible},
    {"isEnabled", &CGuiElementWrapper::isEnabled},
    {"setEnabled", &CGuiElementWrapper::setEnabled},
    {"isFixed", &CGuiElementWrapper::isFixed},
    {"setFixed", &CGuiElementWrapper::setFixed},
    {"isNoClip", &CGuiElementWrapper::isNoClip},
    {"setNoClip", &CGuiElementWrapper::setNoClip},
    {"doesReportOnDraw", &CGuiElementWrapper::doesReportOnDraw},
    {"setReportOnDraw", &CGuiElementWrapper::setReportOnDraw},
    {"setText", &CGuiElementWrapper::setText},
    {"getText", &CGuiElementWrapper::getText},
    {"setRiver", &CGuiElementWrapper::setRiver},
    {"getRiver", &CGuiElementWrapper::getRiver},
    {"getPreferredSize", &CGuiElementWrapper::getPreferredSize},
    {"bringToFront", &CGuiElementWrapper::bringToFront},
    {"setFont", &CGuiElementWrapper::setFont},
    {"setTextColor", &CGuiElementWrapper::setTextColor},
    {"getOverrideColor", &CGuiElementWrapper::getOverrideColor},
    {"enableOverrideColor", &CGuiElementWrapper::enableOverrideColor},
    {"setWordWrap", &CGuiElementWrapper::setWordWrap},
    {"setTextAlignment", &CGuiElementWrapper::setTextAlignment},
    {"getTextHeight", &CGuiElementWrapper::getTextHeight},
    {"setParagraphIcon", &CGuiElementWrapper::setParagraphIcon},
    {"activateProgressiveReveal", &CGuiElementWrapper::activateProgressiveReveal},
    {"getTotalProgressiveTime", &CGuiElementWrapper::getTotalProgressiveTime},
    {"activateOffsetScrollingToEnsureVisibleText",
     &CGuiElementWrapper::activateOffsetScrollingToEnsureVisibleText},
    {"packSize", &CGuiElementWrapper::packSize},
    {"setAnimations", &CGuiElementWrapper::setAnimations},
    {"setIsPushButton", &CGuiElementWrapper::setIsPushButton},
    {"setPressed", &CGuiElementWrapper::setPressed},
    {"isPressed", &CGuiElementWrapper::isPressed},
    {"fakeButtonClick", &CGuiElementWrapper::fakeButtonClick},
    {"setChecked", &CGuiElementWrapper::setChecked},
    {"isChecked", &CGuiElementWrapper::isChecked},
    {"getItemCount", &CGuiElementWrapper::getItemCount},
    {"getTextItem", &CGuiElementWrapper::getTextItem},
    {"addTextItem", &CGuiElementWrapper::addTextItem},
    {"clear", &CGuiElementWrapper::clear},
    {"getSelected", &CGuiElementWrapper::getSelected},
    {"setSelected", &CGuiElementWrapper::setSelected},
    {"setMaxLength", &CGuiElementWrapper::setMaxLength},
    {"getMaxLength", &CGuiElementWrapper::getMaxLength},
    {"setPassword", &CGuiElementWrapper::setPassword},
    {"setAssociatedButton", &CGuiElementWrapper::setAssociatedButton},
    {"setFocus", &CGuiElementWrapper::setFocus},
    {"sortFlow", &CGuiElementWrapper::sortFlow},
    {"sortVertically", &CGuiElementWrapper::sortVertically},
    {"sortHorizontally", &CGuiElementWrapper::sortHorizontally},
    {"sortRiver", &CGuiElementWrapper::sortRiver},
    {"getContentArea", &CGuiElementWrapper::getContentArea},
    {"setPopupMenuTitleFont", &CGuiElementWrapper::setPopupMenuTitleFont},
    {"setPopupMenuItemsFont", &CGuiElementWrapper::setPopupMenuItemsFont},
    {"addMenuOption", &CGuiElementWrapper::addMenuOption},
    {"setResizable", &CGuiElementWrapper::setResizable},
    {"setLocked", &CGuiElementWrapper::setLocked},
    {"setFadeable", &CGuiElementWrapper::setFadeable},
    {"setLockable", &CGuiElementWrapper::setLockable},
    {"setHideable", &CGuiElementWrapper::setHideable},
    {"stopDragging", &CGuiElementWrapper::stopDragging},
    {"setMenuVisible", &CGuiElementWrapper::setMenuVisible},
    {"addTab", &CGuiElementWrapper::addTab},
    {"getTabCount", &CGuiElementWrapper::getTabCount},
    {"getTabCaption", &CGuiElementWrapper::getTabCaption},
    {"setActiveTab", &CGuiElementWrapper::setActiveTab},
    {"highlightTab", &CGuiElementWrapper::highlightTab},
    {"getActiveTab", &CGuiElementWrapper::getActiveTab},
    {"setHighlightColor", &CGuiElementWrapper::setHighlightColor},
    {"setSelectable", &CGuiElementWrapper::setSelectable},
    {"removeItem", &CGuiElementWrapper::removeItem},
    {"setMax", &CGuiElementWrapper::setMax},
    {"setPos", &CGuiElementWrapper::setPos},
    {"getPos", &CGuiElementWrapper::getPos},
    {"addRadioButton", &CGuiElementWrapper::addRadioButton},
    {"setSelection", &CGuiElementWrapper::setSelection},
    {"getSelection", &CGuiElementWrapper::getSelection},
    {nullptr, nullptr},
};

namespace
{

int pushRect(lua_State* L, const video::SRecti& r)
{
    lua_pushinteger(L, r.left);
    lua_pushinteger(L, r.top);
    lua_pushinteger(L, r.getWidth());
    lua_pushinteger(L, r.getHeight());
    return 4;
}

int pushInt(lua_State* L, int32_t value)
{
    lua_pushinteger(L, value);
    return 1;
}

int pushBool(lua_State* L, bool value)
{
    lua_pushboolean(L, value);
    return 1;
}

int pushWide(lua_State* L, const CString& text)
{
    CLuaWChar::pushNew(L, text);
    return 1;
}

// The text of argument n: a WChar's, or a plain string's; false for
// anything else.
bool readText(const CLuaArgs& a, int n, CString& out)
{
    if (!a.given(n)) return false;
    if (CLuaWChar* wide = LuaClassBinder<CLuaWChar>::test(a.state(), a.index(n)))
    {
        out = wide->getText();
        return true;
    }
    if (!a.isText(n)) return false;
    out = a.text(n);
    return true;
}

bool isLayoutKind(const IGUIElement* e)
{
    const gui::EGUIElementType type = e->getType();
    return type == gui::EGUIET_LAYOUT || type == gui::EGUIET_WINDOW ||
           type == gui::EGUIET_DETACHABLE_FRAME;
}

gui::EGUIAlignment alignment(int32_t value)
{
    return value == 1 ? gui::EGUIA_CENTER : value == 2 ? gui::EGUIA_LOWERRIGHT : gui::EGUIA_UPPERLEFT;
}

} // namespace

CGuiElementWrapper::CGuiElementWrapper(lua_State* L, CLuaGuiLibrary* library, int32_t id,
                                       const CString& name, IGUIElement* element)
    : Lunamatic(L), m_library(library), m_id(id), m_name(name), m_element(element)
{
    if (m_element) m_element->setDestructionNotice(&m_element);
}

CGuiElementWrapper::~CGuiElementWrapper() { detach(); }

void CGuiElementWrapper::detach()
{
    if (m_element) m_element->setDestructionNotice(nullptr);
    m_element = nullptr;
}

template <class T> T* CGuiElementWrapper::as() const
{
    return m_element ? dynamic_cast<T*>(m_element) : nullptr;
}

// ---------------------------------------------------------------- any kind

// Component:remove() -> nothing
// Removes the component (and the components inside it) once the current
// pass of the main loop has finished, so a component may remove itself from
// its own callback.
int CGuiElementWrapper::remove(const CLuaArgs&)
{
    if (m_element) m_library->queueRemove(this);
    return 0;
}

// Component:getRelativePosition() -> x, y, width, height
// The rectangle inside the parent.
int CGuiElementWrapper::getRelativePosition(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushRect(a.state(), m_element->getRelativePosition());
}

// Component:setRelativePosition(x, y, width, height) -> nothing
// Places the component inside its parent. Needs all four arguments.
int CGuiElementWrapper::setRelativePosition(const CLuaArgs& a)
{
    if (!m_element || a.count() < 4) return 0;
    const int32_t x = a.int32(1), y = a.int32(2);
    m_element->setRelativePosition({x, y, x + a.int32(3), y + a.int32(4)});
    return 0;
}

// Component:setWidth(width) -> nothing
// Keeps the left edge.
int CGuiElementWrapper::setWidth(const CLuaArgs& a)
{
    if (!m_element) return 0;
    video::SRecti r = m_element->getRelativePosition();
    r.right = r.left + a.int32(1);
    m_element->setRelativePosition(r);
    return 0;
}

// Component:setHeight(height) -> nothing
// Keeps the top edge.
int CGuiElementWrapper::setHeight(const CLuaArgs& a)
{
    if (!m_element) return 0;
    video::SRecti r = m_element->getRelativePosition();
    r.bottom = r.top + a.int32(1);
    m_element->setRelativePosition(r);
    return 0;
}

// Component:hasBeenResized() -> boolean
// Whether the size changed since the last call.
int CGuiElementWrapper::hasBeenResized(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->hasBeenResized());
}

// Component:getAbsolutePosition() -> x, y, width, height
// The rectangle on the screen.
int CGuiElementWrapper::getAbsolutePosition(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushRect(a.state(), m_element->getAbsolutePosition());
}

// Component:getAbsoluteClippingRect() -> x, y, width, height
// The part of the screen the component may draw on.
int CGuiElementWrapper::getAbsoluteClippingRect(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushRect(a.state(), m_element->getAbsoluteClippingRect());
}

// Component:getParentAbsoluteClippingRect() -> x, y, width, height
// The clipping the component hands its children.
int CGuiElementWrapper::getParentAbsoluteClippingRect(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushRect(a.state(), m_element->getChildClippingRect(m_element->isFixed()));
}

// Component:updateAbsolutePosition() -> nothing
// Recomputes the screen rectangles of the component and everything inside.
int CGuiElementWrapper::updateAbsolutePosition(const CLuaArgs&)
{
    if (m_element) m_element->updateAbsolutePosition();
    return 0;
}

// Component:move(dx, dy) -> nothing
// Needs both arguments.
int CGuiElementWrapper::move(const CLuaArgs& a)
{
    if (m_element && a.count() >= 2) m_element->move(a.int32(1), a.int32(2));
    return 0;
}

// Component:moveTo(x, y) -> nothing
// Moves the upper-left corner inside the parent. Needs both arguments.
int CGuiElementWrapper::moveTo(const CLuaArgs& a)
{
    if (m_element && a.count() >= 2) m_element->moveTo(a.int32(1), a.int32(2));
    return 0;
}

// Component:centerOnParent() -> nothing
int CGuiElementWrapper::centerOnParent(const CLuaArgs&)
{
    if (m_element && m_element->getParent()) m_element->centerOnParent();
    return 0;
}

// Component:isVisible() -> boolean
int CGuiElementWrapper::isVisible(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->isVisible());
}

// Component:setVisible(visible) -> nothing
// A hidden component and everything inside it is neither drawn nor clicked.
int CGuiElementWrapper::setVisible(const CLuaArgs& a)
{
    if (m_element) m_element->setVisible(a.flag(1));
    return 0;
}

// Component:isEnabled() -> boolean
int CGuiElementWrapper::isEnabled(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->isEnabled());
}

// Component:setEnabled(enabled) -> nothing
// Also for everything inside; a disabled component ignores input.
int CGuiElementWrapper::setEnabled(const CLuaArgs& a)
{
    if (m_element) m_element->setEnabled(a.flag(1));
    return 0;
}

// Component:isFixed() -> boolean
int CGuiElementWrapper::isFixed(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->isFixed());
}

// Component:setFixed(fixed) -> nothing
// A fixed component is placed in its parent's whole area, not its content
// area, and the sort methods leave it where it is.
int CGuiElementWrapper::setFixed(const CLuaArgs& a)
{
    if (m_element) m_element->setFixed(a.flag(1));
    return 0;
}

// Component:isNoClip() -> boolean
int CGuiElementWrapper::isNoClip(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->isNoClip());
}

// Component:setNoClip(noClip) -> nothing
// The component's children are clipped as the component itself is.
int CGuiElementWrapper::setNoClip(const CLuaArgs& a)
{
    if (m_element) m_element->setNoClip(a.flag(1));
    return 0;
}

// Component:doesReportOnDraw() -> boolean
int CGuiElementWrapper::doesReportOnDraw(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushBool(a.state(), m_element->doesReportOnDraw());
}

// Component:setReportOnDraw(mode) -> nothing
// 1: onDraw is called every frame before the children are drawn, 2: after
// them, 0: never.
int CGuiElementWrapper::setReportOnDraw(const CLuaArgs& a)
{
    if (m_element) m_element->setReportOnDraw(a.int32(1));
    return 0;
}

// Component:setText(text [, pack]) -> nothing
// The caption or text (a WChar or a string). A label with pack true then
// sizes itself to the text.
int CGuiElementWrapper::setText(const CLuaArgs& a)
{
    CString text;
    if (!m_element || !readText(a, 1, text)) return 0;
    m_element->setText(text);
    if (a.flag(2))
        if (auto* label = as<gui::IGUIStaticText>()) label->packSize();
    return 0;
}

// Component:getText() -> WChar
// The caption or text (an edit box: what was typed).
int CGuiElementWrapper::getText(const CLuaArgs& a)
{
    if (!m_element) return 0;
    return pushWide(a.state(), m_element->getText());
}

// Component:setRiver(text) -> nothing
// The river keywords that sortRiver of the parent arranges by.
int CGuiElementWrapper::setRiver(const CLuaArgs& a)
{
    if (m_element) m_element->setRiverText(a.text(1));
    return 0;
}

// Component:getRiver() -> string
int CGuiElementWrapper::getRiver(const CLuaArgs& a)
{
    if (!m_element) return 0;
    pushText(a.state(), m_element->getRiverText());
    return 1;
}

// Component:getPreferredSize() -> width, height
// The size the component would like, as the sort methods use it.
int CGuiElementWrapper::getPreferredSize(const CLuaArgs& a)
{
    if (!m_element) return 0;
    const core::SDimension2i size = m_element->getPreferredSize();
    lua_pushinteger(a.state(), size.width);
    lua_pushinteger(a.state(), size.height);
    return 2;
}

// Component:bringToFront() -> nothing
// Draws the component over its siblings (and hits it first).
int CGuiElementWrapper::bringToFront(const CLuaArgs&)
{
    if (m_element && m_element->getParent()) m_element->getParent()->bringToFront(m_element);
    return 0;
}

// ---------------------------------------------------------------- texts

// Component:setFont(file) -> nothing
// Label, button, check box, edit box, tab row: the font file (relative to
// the calling script) for this component; a file that cannot be loaded
// brings back the GUI's font.
int CGuiElementWrapper::setFont(const CLuaArgs& a)
{
    if (!m_element) return 0;
    gui::IGUIFont* font = m_library->loadFont(m_library->resolvePath(a, 1));
    if (auto* label = as<gui::IGUIStaticText>())
        label->setOverrideFont(font);
    else if (auto* button = as<gui::IGUIButton>())
        button->setOverrideFont(font);
    else if (auto* box = as<gui::IGUICheckBox>())
        box->setFont(font);
    else if (auto* edit = as<gui::IGUIEditBox>())
        edit->setOverrideFont(font);
    else if (auto* row = as<gui::IGUITabButtonRow>())
        row->setFont(font);
    return 0;
}

// Component:setTextColor(a, r, g, b) -> nothing
// Label, button, check box, edit box, tab row, radio list: the text colour,
// each channel taken modulo 256. Needs all four arguments.
int CGuiElementWrapper::setTextColor(const CLuaArgs& a)
{
    if (!m_element || a.count() < 4) return 0;
    const uint32_t color = a.argb(1);
    if (auto* label = as<gui::IGUIStaticText>())
        label->setOverrideColor(color);
    else if (auto* text = as<gui::IGUITextButton>())
        text->setTextColor(color);
    else if (auto* button = as<gui::IGUIButton>())
        button->setOverrideColor(color);
    else if (auto* box = as<gui::IGUICheckBox>())
        box->setTextColor(color);
    else if (auto* edit = as<gui::IGUIEditBox>())
        edit->setOverrideColor(color);
    else if (auto* row = as<gui::IGUITabButtonRow>())
        row->setTextColor(color);
    else if (auto* radio = as<gui::IGUIRadioList>())
        radio->setTextColor(color);
    return 0;
}

// Component:getOverrideColor() -> a, r, g, b
// Label: the colour setTextColor gave it.
int CGuiElementWrapper::getOverrideColor(const CLuaArgs& a)
{
    auto* label = as<gui::IGUIStaticText>();
    if (!label) return 0;
    const uint32_t color = label->getOverrideColor();
    for (int shift = 24; shift >= 0; shift -= 8)
        lua_pushinteger(a.state(), (color >> shift) & 0xFF);
    return 4;
}

// Component:enableOverrideColor(on) -> nothing
// Label, edit box: whether the colour of setTextColor is used (else the
// skin's).
int CGuiElementWrapper::enableOverrideColor(const CLuaArgs& a)
{
    if (auto* label = as<gui::IGUIStaticText>())
        label->enableOverrideColor(a.flag(1));
    else if (auto* edit = as<gui::IGUIEditBox>())
        edit->enableOverrideColor(a.flag(1));
    return 0;
}

// Component:setWordWrap(on) -> nothing
// Label: breaks the text into lines as wide as the label.
int CGuiElementWrapper::setWordWrap(const CLuaArgs& a)
{
    if (auto* label = as<gui::IGUIStaticText>()) label->setWordWrap(a.flag(1));
    return 0;
}

// Component:setTextAlignment(horizontal, vertical) -> nothing
// Label: 0 left (top), 1 centred, 2 right (bottom).
int CGuiElementWrapper::setTextAlignment(const CLuaArgs& a)
{
    if (auto* label = as<gui::IGUIStaticText>())
        label->setTextAlignment(alignment(a.int32(1)), alignment(a.int32(2)));
    return 0;
}

// Component:getTextHeight() -> height
// Label: the height of its lines in pixels.
int CGuiElementWrapper::getTextHeight(const CLuaArgs& a)
{
    auto* label = as<gui::IGUIStaticText>();
    if (!label) return 0;
    return pushInt(a.state(), label->getTextHeight());
}

// Component:setParagraphIcon(packageFile, icon, fitHeight) -> nothing
// Label: shows the animation icon of the sprite package file (relative to
// the calling script) before the text ("|right" after the icon's name: after
// it); with fitHeight the label grows to the icon. Needs three arguments.
int CGuiElementWrapper::setParagraphIcon(const CLuaArgs& a)
{
    auto* label = as<gui::IGUIStaticText>();
    if (!label || a.count() < 3) return 0;
    video::ISpritePackage* package = m_library->loadPackage(m_library->resolvePath(a, 1));
    label->setParagraphIcon(a.text(2), package, a.flag(3));
    return 0;
}

// Component:activateProgressiveReveal([delay]) -> nothing
// Label: the text appears letter by letter, from delay milliseconds on (a
// number; anything else starts at once).
int CGuiElementWrapper::activateProgressiveReveal(const CLuaArgs& a)
{
    auto* label = as<gui::IGUIStaticText>();
    if (!label) return 0;
    const int64_t delay = a.isNumber(1) ? a.integerIn(1, 0, INT32_MAX) : 0;
    label->activateProgressiveReveal(uint32_t(delay));
    return 0;
}

// Component:getTotalProgressiveTime() -> milliseconds
// Label: how long the whole reveal takes.
int CGuiElementWrapper::getTotalProgressiveTime(const CLuaArgs& a)
{
    auto* label = as<gui::IGUIStaticText>();
    if (!label) return 0;
    return pushInt(a.state(), label->getTotalProgressiveTime());
}

// Component:activateOffsetScrollingToEnsureVisibleText() -> nothing
// Label: a text longer than the label scrolls so its end stays visible.
int CGuiElementWrapper::activateOffsetScrollingToEnsureVisibleText(const CLuaArgs&)
{
    if (auto* label = as<gui::IGUIStaticText>()) label->activateOffsetScrollingToEnsureVisibleText();
    return 0;
}

// Component:packSize() -> nothing
// Label: sizes the label to its text.
int CGuiElementWrapper::packSize(const CLuaArgs&)
{
    if (auto* label = as<gui::IGUIStaticText>()) label->packSize();
    return 0;
}

// ---------------------------------------------------------------- images

// Component:setAnimations(packageFile, prefix [, resize]) -> nothing
// Button, check box, edit box, window, tab row: draws the component with the
// images of the sprite package file (nil: the skin's package) whose names
// start with prefix, e.g. "Button" for "ButtonNormal", "ButtonPressed" ...
// A button takes the images' size unless resize is false. Needs two
// arguments.
int CGuiElementWrapper::setAnimations(const CLuaArgs& a)
{
    if (!m_element || a.count() < 2) return 0;
    video::ISpritePackage* package = nullptr;
    if (a.isNil(1))
    {
        gui::IGUISkin* skin = m_library->getEnvironment()->getSkin();
        package = skin ? skin->getSpritePackage() : nullptr;
    }
    else
        package = m_library->loadPackage(m_library->resolvePath(a, 1));
    const CString prefix = a.text(2);
    if (auto* button = as<gui::IGUIButton>())
        button->setImages(package, prefix, a.flag(3, true));
    else if (auto* box = as<gui::IGUICheckBox>())
        box->setImages(package, prefix);
    else if (auto* edit = as<gui::IGUIEditBox>())
        edit->setImages(package, prefix);
    else if (auto* window = as<gui::IGUIWindow>())
        window->setImages(package, prefix);
    else if (auto* row = as<gui::IGUITabButtonRow>())
        row->setImages(package, prefix);
    return 0;
}

// ---------------------------------------------------------------- buttons

// Component:setIsPushButton(on) -> nothing
// Button: a push button stays down when clicked, until clicked again.
int CGuiElementWrapper::setIsPushButton(const CLuaArgs& a)
{
    if (auto* button = as<gui::IGUIButton>()) button->setIsPushButton(a.flag(1));
    return 0;
}

// Component:setPressed(pressed) -> nothing
// Button: puts a push button down or up.
int CGuiElementWrapper::setPressed(const CLuaArgs& a)
{
    if (auto* button = as<gui::IGUIButton>()) button->setPressed(a.flag(1));
    return 0;
}

// Component:isPressed() -> boolean
// Button.
int CGuiElementWrapper::isPressed(const CLuaArgs& a)
{
    auto* button = as<gui::IGUIButton>();
    if (!button) return 0;
    return pushBool(a.state(), button->isPressed());
}

// Component:fakeButtonClick() -> nothing
// Button: clicks it as the mouse would, onClick included.
int CGuiElementWrapper::fakeButtonClick(const CLuaArgs&)
{
    // The callback may remove this component: nothing of it is used after.
    if (auto* button = as<gui::IGUIButton>()) button->click();
    return 0;
}

// Component:setChecked(checked) -> nothing
// Check box.
int CGuiElementWrapper::setChecked(const CLuaArgs& a)
{
    if (auto* box = as<gui::IGUICheckBox>()) box->setChecked(a.flag(1));
    return 0;
}

// Component:isChecked() -> boolean
// Check box.
int CGuiElementWrapper::isChecked(const CLuaArgs& a)
{
    auto* box = as<gui::IGUICheckBox>();
    if (!box) return 0;
    return pushBool(a.state(), box->isChecked());
}

// ---------------------------------------------------------------- lists

// Component:getItemCount() -> count
// Combo box, list box, radio list.
int CGuiElementWrapper::getItemCount(const CLuaArgs& a)
{
    if (auto* combo = as<gui::IGUIComboBox>()) return pushInt(a.state(), combo->getItemCount());
    if (auto* list = as<gui::IGUIListBox>()) return pushInt(a.state(), list->getItemCount());
    if (auto* radio = as<gui::IGUIRadioList>()) return pushInt(a.state(), radio->getItemCount());
    return 0;
}

// Component:getTextItem(index) -> WChar | nothing
// Combo box, list box: the text of the item (from 0); nothing for a list
// box item that does not exist.
int CGuiElementWrapper::getTextItem(const CLuaArgs& a)
{
    const int32_t index = a.int32(1);
    if (auto* combo = as<gui::IGUIComboBox>()) return pushWide(a.state(), combo->getItem(index));
    if (auto* list = as<gui::IGUIListBox>())
    {
        IGUIElement* item = list->getListItem(index);
        return item ? pushWide(a.state(), item->getText()) : 0;
    }
    return 0;
}

// Component:addTextItem(text) -> index | nothing
// Combo box: adds an item and returns its index. List box: adds a line of
// text at the end (and returns nothing).
int CGuiElementWrapper::addTextItem(const CLuaArgs& a)
{
    CString text;
    if (!m_element || !readText(a, 1, text)) return 0;
    if (auto* combo = as<gui::IGUIComboBox>()) return pushInt(a.state(), combo->addItem(text));
    if (auto* list = as<gui::IGUIListBox>()) list->addItem(text);
    return 0;
}

// Component:clear() -> nothing
// Combo box, list box: removes every item.
int CGuiElementWrapper::clear(const CLuaArgs&)
{
    if (auto* combo = as<gui::IGUIComboBox>())
        combo->clear();
    else if (auto* list = as<gui::IGUIListBox>())
        list->clear();
    return 0;
}

// Component:getSelected() -> index
// Combo box, list box: the selected item, -1 for none.
int CGuiElementWrapper::getSelected(const CLuaArgs& a)
{
    if (auto* combo = as<gui::IGUIComboBox>()) return pushInt(a.state(), combo->getSelected());
    if (auto* list = as<gui::IGUIListBox>()) return pushInt(a.state(), list->getSelected());
    return 0;
}

// Component:setSelected(index) -> nothing
// Combo box, list box.
int CGuiElementWrapper::setSelected(const CLuaArgs& a)
{
    if (auto* combo = as<gui::IGUIComboBox>())
        combo->setSelected(a.int32(1));
    else if (auto* list = as<gui::IGUIListBox>())
        list->setSelected(a.int32(1));
    return 0;
}

// Component:setSelectable(on) -> nothing
// List box: whether clicking selects a line (onChange; onRepeat for the
// selected one again).
int CGuiElementWrapper::setSelectable(const CLuaArgs& a)
{
    if (auto* list = as<gui::IGUIListBox>()) list->setSelectable(a.flag(1));
    return 0;
}

// Component:removeItem(index) -> nothing
// List box. Needs the argument.
int CGuiElementWrapper::removeItem(const CLuaArgs& a)
{
    if (auto* list = as<gui::IGUIListBox>())
        if (a.count() >= 1) list->removeItem(a.int32(1));
    return 0;
}

// ---------------------------------------------------------------- edit boxes

// Component:setMaxLength(length) -> nothing
// Edit box: how many characters it takes, 0 for no limit.
int CGuiElementWrapper::setMaxLength(const CLuaArgs& a)
{
    if (auto* edit = as<gui::IGUIEditBox>()) edit->setMax(a.int32(1));
    return 0;
}

// Component:getMaxLength() -> length
// Edit box.
int CGuiElementWrapper::getMaxLength(const CLuaArgs& a)
{
    auto* edit = as<gui::IGUIEditBox>();
    if (!edit) return 0;
    return pushInt(a.state(), edit->getMax());
}

// Component:setPassword(on) -> nothing
// Edit box: shows "*" for every character.
int CGuiElementWrapper::setPassword(const CLuaArgs& a)
{
    if (auto* edit = as<gui::IGUIEditBox>()) edit->setPassword(a.flag(1));
    return 0;
}

// Component:setAssociatedButton(name) -> nothing
// Edit box: Enter in the box clicks the button component of that name. An
// unknown name changes nothing.
int CGuiElementWrapper::setAssociatedButton(const CLuaArgs& a)
{
    auto* edit = as<gui::IGUIEditBox>();
    if (!edit || !a.isText(1)) return 0;
    if (CGuiElementWrapper* button = m_library->findByName(a.text(1)))
        edit->setAssociatedButton(button->getId());
    return 0;
}

// Component:setFocus() -> nothing
// Edit box: takes the keyboard and selects the whole text.
int CGuiElementWrapper::setFocus(const CLuaArgs&)
{
    if (auto* edit = as<gui::IGUIEditBox>()) edit->grabFocus();
    return 0;
}

// ---------------------------------------------------------------- layouts

// Component:sortFlow([spacingX [, spacingY [, rightToLeft [, growWidth]]]]) -> nothing
// Layout, window, detachable frame: places the children in rows, like words
// (spacings default to 5).
int CGuiElementWrapper::sortFlow(const CLuaArgs& a)
{
    if (!m_element || !isLayoutKind(m_element)) return 0;
    if (auto* layout = as<gui::IGUILayout>())
        layout->sortFlow(a.int32(1, 5), a.int32(2, 5), a.flag(3), a.flag(4));
    return 0;
}

// Component:sortVertically([spacing [, centre]]) -> nothing
// Layout, window, detachable frame: stacks the children top to bottom
// (spacing 5), centred across unless centre is false.
int CGuiElementWrapper::sortVertically(const CLuaArgs& a)
{
    if (!m_element || !isLayoutKind(m_element)) return 0;
    if (auto* layout = as<gui::IGUILayout>()) layout->sortVertically(a.int32(1, 5), a.flag(2, true));
    return 0;
}

// Component:sortHorizontally([spacing]) -> nothing
// Layout, window, detachable frame: lines the children up left to right.
int CGuiElementWrapper::sortHorizontally(const CLuaArgs& a)
{
    if (!m_element || !isLayoutKind(m_element)) return 0;
    if (auto* layout = as<gui::IGUILayout>()) layout->sortHorizontally(a.int32(1, 5));
    return 0;
}

// Component:sortRiver([pack [, spacingX [, spacingY]]]) -> nothing
// Layout, window, detachable frame: arranges the children by their river
// keywords (setRiver); pack (default true) shrinks the parent to them.
int CGuiElementWrapper::sortRiver(const CLuaArgs& a)
{
    if (!m_element || !isLayoutKind(m_element)) return 0;
    if (auto* layout = as<gui::IGUILayout>())
        layout->sortRiver(a.flag(1, true), a.int32(2, 5), a.int32(3, 5), false);
    return 0;
}

// Component:getContentArea() -> x, y, width, height
// Layout, window, detachable frame: the area inside the borders and title
// bar, where children are placed.
int CGuiElementWrapper::getContentArea(const CLuaArgs& a)
{
    if (!m_element || !isLayoutKind(m_element)) return 0;
    auto* layout = as<gui::IGUILayout>();
    return layout ? pushRect(a.state(), layout->getContentArea()) : 0;
}

// ---------------------------------------------------------------- detachable frames

// Component:setPopupMenuTitleFont(file) -> nothing
// Detachable frame: the font of its menu's title.
int CGuiElementWrapper::setPopupMenuTitleFont(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>())
        frame->setMenuTitleFont(m_library->loadFont(m_library->resolvePath(a, 1)));
    return 0;
}

// Component:setPopupMenuItemsFont(file) -> nothing
// Detachable frame: the font of its menu's items.
int CGuiElementWrapper::setPopupMenuItemsFont(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>())
        frame->setMenuItemsFont(m_library->loadFont(m_library->resolvePath(a, 1)));
    return 0;
}

// Component:addMenuOption(text, id) -> nothing
// Detachable frame: an item of the menu its menu button opens; choosing it
// calls onPopupClicked. Needs both arguments.
int CGuiElementWrapper::addMenuOption(const CLuaArgs& a)
{
    auto* frame = as<gui::IGUIDetachableFrame>();
    CString text;
    if (!frame || a.count() < 2 || !readText(a, 1, text)) return 0;
    frame->addMenuOption(text, a.int32(2));
    return 0;
}

// Component:setResizable(on [, minimumWidth, minimumHeight]) -> nothing
// Detachable frame: whether its lower-right corner resizes it, no smaller
// than the minimum (20 x 20 unless both sizes are given).
int CGuiElementWrapper::setResizable(const CLuaArgs& a)
{
    auto* frame = as<gui::IGUIDetachableFrame>();
    if (!frame) return 0;
    const bool sized = a.count() >= 3;
    frame->setResizable(a.flag(1), sized ? a.int32(2) : 20, sized ? a.int32(3) : 20);
    return 0;
}

// Component:setLocked(on) -> nothing
// Detachable frame: a locked frame cannot be dragged or resized.
int CGuiElementWrapper::setLocked(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>()) frame->setLocked(a.flag(1));
    return 0;
}

// Component:setFadeable(on) -> nothing
// Detachable frame: fades out while the mouse is elsewhere.
int CGuiElementWrapper::setFadeable(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>()) frame->setFadeable(a.flag(1));
    return 0;
}

// Component:setLockable(on) -> nothing
// Detachable frame: its menu offers to lock it.
int CGuiElementWrapper::setLockable(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>()) frame->setLockable(a.flag(1));
    return 0;
}

// Component:setHideable(on) -> nothing
// Detachable frame: shows its close button, which hides it (onHide).
int CGuiElementWrapper::setHideable(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>()) frame->setHideable(a.flag(1));
    return 0;
}

// Component:stopDragging() -> nothing
// Detachable frame: lets go of a drag in progress.
int CGuiElementWrapper::stopDragging(const CLuaArgs&)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>()) frame->stopDragging();
    return 0;
}

// Component:setMenuVisible(visible) -> nothing
// Detachable frame: shows or hides its menu button. Needs the argument.
int CGuiElementWrapper::setMenuVisible(const CLuaArgs& a)
{
    if (auto* frame = as<gui::IGUIDetachableFrame>())
        if (a.count() >= 1) frame->setMenuVisible(a.flag(1));
    return 0;
}

// ---------------------------------------------------------------- tab rows

// Component:addTab(caption [, closable]) -> index
// Tab row: a new tab (closable by default: its cross calls onTabClosed).
int CGuiElementWrapper::addTab(const CLuaArgs& a)
{
    auto* row = as<gui::IGUITabButtonRow>();
    CString caption;
    if (!row || !readText(a, 1, caption)) return 0;
    return pushInt(a.state(), row->addTab(caption, a.flag(2, true)));
}

// Component:getTabCount() -> count
// Tab row.
int CGuiElementWrapper::getTabCount(const CLuaArgs& a)
{
    auto* row = as<gui::IGUITabButtonRow>();
    return row ? pushInt(a.state(), row->getTabCount()) : 0;
}

// Component:getTabCaption(index) -> WChar
// Tab row: the caption of the tab (from 0).
int CGuiElementWrapper::getTabCaption(const CLuaArgs& a)
{
    auto* row = as<gui::IGUITabButtonRow>();
    return row ? pushWide(a.state(), row->getTabCaption(a.int32(1))) : 0;
}

// Component:setActiveTab(index) -> nothing
// Tab row. Needs the argument.
int CGuiElementWrapper::setActiveTab(const CLuaArgs& a)
{
    if (auto* row = as<gui::IGUITabButtonRow>())
        if (a.count() >= 1) row->setActiveTab(a.int32(1));
    return 0;
}

// Component:highlightTab(index [, on]) -> nothing
// Tab row: marks a tab with the highlight colour (a new message, say).
int CGuiElementWrapper::highlightTab(const CLuaArgs& a)
{
    if (auto* row = as<gui::IGUITabButtonRow>())
        if (a.count() >= 1) row->highlightTab(a.int32(1), a.flag(2, true));
    return 0;
}

// Component:getActiveTab() -> index
// Tab row.
int CGuiElementWrapper::getActiveTab(const CLuaArgs& a)
{
    auto* row = as<gui::IGUITabButtonRow>();
    return row ? pushInt(a.state(), row->getActiveTab()) : 0;
}

// Component:setHighlightColor(a, r, g, b) -> nothing
// Tab row: the colour of highlighted tabs. Needs all four arguments.
int CGuiElementWrapper::setHighlightColor(const CLuaArgs& a)
{
    if (auto* row = as<gui::IGUITabButtonRow>())
        if (a.count() >= 4) row->setHighlightColor(a.argb(1));
    return 0;
}

// ---------------------------------------------------------------- scroll bars

// Component:setMax(max) -> nothing
// Scroll bar: positions run from 0 to max.
int CGuiElementWrapper::setMax(const CLuaArgs& a)
{
    if (auto* bar = as<gui::IGUIScrollBar>()) bar->setMax(a.int32(1));
    return 0;
}

// Component:setPos(position) -> nothing
// Scroll bar.
int CGuiElementWrapper::setPos(const CLuaArgs& a)
{
    if (auto* bar = as<gui::IGUIScrollBar>()) bar->setPos(a.int32(1));
    return 0;
}

// Component:getPos() -> position
// Scroll bar.
int CGuiElementWrapper::getPos(const CLuaArgs& a)
{
    auto* bar = as<gui::IGUIScrollBar>();
    return bar ? pushInt(a.state(), bar->getPos()) : 0;
}

// ---------------------------------------------------------------- radio lists

// Component:addRadioButton(caption) -> nothing
// Radio list: adds a choice below the others.
int CGuiElementWrapper::addRadioButton(const CLuaArgs& a)
{
    auto* radio = as<gui::IGUIRadioList>();
    CString caption;
    if (radio && readText(a, 1, caption)) radio->addRadioButton(caption);
    return 0;
}

// Component:setSelection([index]) -> nothing
// Radio list: the chosen item (from 0); -1 (the default) for none.
int CGuiElementWrapper::setSelection(const CLuaArgs& a)
{
    if (auto* radio = as<gui::IGUIRadioList>()) radio->setSelection(a.int32(1, -1));
    return 0;
}

// Component:getSelection() -> index
// Radio list: the chosen item, -1 for none.
int CGuiElementWrapper::getSelection(const CLuaArgs& a)
{
    auto* radio = as<gui::IGUIRadioList>();
    return radio ? pushInt(a.state(), radio->getSelection()) : 0;
}

} // namespace zu::lua
