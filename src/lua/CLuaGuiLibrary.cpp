#include "lua/CLuaGuiLibrary.h"

#include "event/CEventSubscriberList.h"
#include "gui/IGUIButton.h"
#include "gui/IGUICheckBox.h"
#include "gui/IGUIComboBox.h"
#include "gui/IGUIDetachableFrame.h"
#include "gui/IGUIEditBox.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIElement.h"
#include "gui/IGUILayout.h"
#include "gui/IGUIListBox.h"
#include "gui/IGUIModalScreen.h"
#include "gui/IGUIRadioList.h"
#include "gui/IGUIScrollBar.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "gui/IGUITabButtonRow.h"
#include "gui/IGUIWindow.h"
#include "lua/CGuiElementWrapper.h"
#include "video/IVideoDriver.h"

#include <algorithm>

namespace zu::lua
{
namespace
{

using core::CString;
using event::SEngineEvent;

CLuaGuiLibrary* g_library = nullptr;
// Remove requests are told apart by a token that no library reuses, so a
// request still queued when the script restarts means nothing to the next
// library.
int32_t g_nextRemoveToken = 1;

CLuaArgs arguments(lua_State* L) { return CLuaArgs(L, EAR_LENIENT); }

gui::IGUISkin* skin()
{
    gui::IGUIEnvironment* environment = g_library ? g_library->getEnvironment() : nullptr;
    return environment ? environment->getSkin() : nullptr;
}

// gui.createComponent(type [, parent [, name]]) -> Component | nothing
// A new component of the type: "label", "button", "checkbox", "combobox",
// "radiolist", "editbox", "window", "frame", "dframe" (a detachable frame),
// "layout", "tabrow", "listbox", "vscroll", "hscroll", "clickarea" or
// "modal" (a screen that swallows the input of everything behind it). The
// parent is a component or a component's name (default: the screen); the
// name lets other calls find the component. Components start at (0, 0),
// 10 x 10 (label, button, check box), 100 x 10 (combo box, radio list, edit
// box, window, frames, layout) or 100 x 100 (list box, scroll bars, click
// area); a tab row sizes itself to its tabs and "modal" covers the screen.
// Their texts start empty. An unknown type prints "gui_createComponent:
// Invalid type name" and gives nothing.
int g_createComponent(lua_State* L)
{
    if (!g_library) return 0;
    return g_library->createComponent(arguments(L));
}

// gui.removeComponent(component) -> count
// Removes the component (a component table or a component's name) at once,
// with every component inside it, and returns how many components went (0
// when none was found). Tables the script keeps of removed components stay
// harmless: their methods do nothing.
int g_removeComponent(lua_State* L)
{
    CLuaArgs a = arguments(L);
    CGuiElementWrapper* wrapper = nullptr;
    if (g_library && a.isText(1))
        wrapper = g_library->findByName(a.text(1));
    else if (g_library && a.isTable(1))
        wrapper = g_library->fromTable(L, a.index(1));
    lua_pushinteger(L, wrapper ? g_library->removeComponent(wrapper) : 0);
    return 1;
}

// gui.setSkin(file) -> nothing
// Makes the sprite package file (relative to the calling script) the skin:
// windows, buttons, check boxes, edit boxes, scroll bars, tabs and combo
// boxes made from now on draw its images instead of the skin's flat colours
// (components made earlier keep their look). A file that cannot be loaded
// is logged and leaves the skin without images; so does nil.
int g_setSkin(lua_State* L)
{
    CLuaArgs a = arguments(L);
    gui::IGUISkin* target = skin();
    if (!target || !a.given(1)) return 0;
    if (a.isNil(1))
    {
        target->setSpritePackage(nullptr);
        return 0;
    }
    const CString path = g_library->resolvePath(a, 1);
    if (!path.empty()) target->setSpritePackage(g_library->loadPackage(path));
    return 0;
}

// gui.setFont(file) -> nothing
// Makes the font file (relative to the calling script; a sprite-package font
// made by pellora-fontgen, or a marker-pixel image font) the font of every
// component without a font of its own. A file that cannot be loaded leaves
// the GUI without a font.
int g_setFont(lua_State* L)
{
    CLuaArgs a = arguments(L);
    gui::IGUISkin* target = skin();
    if (!target || !a.isText(1)) return 0;
    target->setFont(g_library->loadFont(g_library->resolvePath(a, 1)));
    return 0;
}

// gui.setSkinColor(index, a, r, g, b) -> nothing
// Sets one of the skin's 20 colours (0 to 19); each channel is taken modulo
// 256. Needs all five arguments.
int g_setSkinColor(lua_State* L)
{
    CLuaArgs a = arguments(L);
    gui::IGUISkin* target = skin();
    if (!target || a.count() < 5) return 0;
    target->setColor(a.int32(1), a.argb(2));
    return 0;
}

// gui.setSkinConstant(index, value) -> nothing
// Sets one of the skin's 10 sizes (0 to 9). Needs both arguments.
int g_setSkinConstant(lua_State* L)
{
    CLuaArgs a = arguments(L);
    gui::IGUISkin* target = skin();
    if (!target || a.count() < 2) return 0;
    target->setSize(a.int32(1), a.int32(2));
    return 0;
}

// gui.isElementAt(x, y) -> boolean
// Whether a visible GUI element lies under the point: a click there goes to
// the GUI, not to the game. Nothing without both arguments.
int g_isElementAt(lua_State* L)
{
    CLuaArgs a = arguments(L);
    gui::IGUIEnvironment* environment = g_library ? g_library->getEnvironment() : nullptr;
    if (!environment || a.count() < 2) return 0;
    gui::IGUIElement* root = environment->getRootGUIElement();
    gui::IGUIElement* hit = root->getElementFromPoint({a.int32(1), a.int32(2)});
    lua_pushboolean(L, hit && hit != root && hit->isVisible());
    return 1;
}

const luaL_Reg kFunctions[] = {
    {"createComponent", g_createComponent},
    {"removeComponent", g_removeComponent},
    {"setSkin", g_setSkin},
    {"setFont", g_setFont},
    {"setSkinColor", g_setSkinColor},
    {"setSkinConstant", g_setSkinConstant},
    {"isElementAt", g_isElementAt},
    {nullptr, nullptr},
};

// The callbacks a script stores in a component's table. Each gets the
// component first (so function c:onClick() receives it as self).
// callback Component.onClick(self)
// A button was clicked (by the mouse, by Enter in the edit box it is
// associated with, or by fakeButtonClick).
// callback Component.onClick(self, button, pressed)
// Click area: a mouse button went down (pressed true) or up (false) over it;
// button 0 left, 1 right, 2 middle.
// callback Component.onRightClick(self)
// The right mouse button was released over the component.
// callback Component.onEnter(self)
// The mouse moved onto the component.
// callback Component.onLeave(self)
// The mouse left the component.
// callback Component.onChange(self)
// The value changed: a scroll bar moved, a check box was toggled, a radio
// list, list box or combo box selection or an edit box text changed, or the
// active tab of a tab row.
// callback Component.onRepeat(self)
// List box: the selected line was clicked again (a double click, say).
// callback Component.onApply(self)
// Edit box: Enter was pressed.
// callback Component.onTabClosed(self, index)
// Tab row: the cross of the tab was clicked; the script removes the tab's
// content.
// callback Component.onHide(self)
// Detachable frame: hidden by its close button.
// callback Component.onResize(self)
// Detachable frame: resized by dragging its corner.
// callback Component.onDraw(self)
// Every frame while setReportOnDraw is 1 or 2: draw with the video table
// over (or under) the component's children.
// callback Component.onPopupClosed(self)
// Detachable frame: its menu closed.
// callback Component.onPopupClicked(self)
// Detachable frame: an item of its menu was chosen.
// callback Component.onConfirm(self)
// callback Component.onCancel(self)
// callback Component.onNo(self)
// callback Component.onFileSelect(self)
// Answers of message boxes and file dialogs, for components that report them.

// The callback of a GUI event type; extra arguments: 0 none, 1 the event's
// value, 2 the mouse button and whether it went down.
struct SCallback
{
    const char* name;
    int extra;
    int32_t button;
    bool pressed;
};

bool callbackOf(event::GUIEventType type, SCallback& out)
{
    using namespace event;
    switch (type)
    {
    case GuiFocusLost: out = {"onBlur", 0, 0, false}; return true;
    case GuiHovered:
    case GuiButtonHovered: out = {"onEnter", 0, 0, false}; return true;
    case GuiLeft:
    case GuiButtonLeft: out = {"onLeave", 0, 0, false}; return true;
    case GuiClicked: out = {"onClick", 0, 0, false}; return true;
    case GuiRightClicked: out = {"onRightClick", 0, 0, false}; return true;
    case GuiScrollBarMoved:
    case GuiCheckBoxToggled:
    case GuiRadioChanged:
    case GuiListBoxChanged:
    case GuiComboBoxChanged:
    case GuiEditBoxChanged:
    case GuiTabChanged:
    case GuiMenuItemSelected: out = {"onChange", 0, 0, false}; return true;
    case GuiListBoxSelectedAgain: out = {"onRepeat", 0, 0, false}; return true;
    case GuiFileSelected: out = {"onFileSelect", 0, 0, false}; return true;
    case GuiFileDialogCancelled:
    case GuiMessageBoxCancel: out = {"onCancel", 0, 0, false}; return true;
    case GuiMessageBoxYes:
    case GuiMessageBoxOk: out = {"onConfirm", 0, 0, false}; return true;
    case GuiMessageBoxNo: out = {"onNo", 0, 0, false}; return true;
    case GuiEditBoxEnter: out = {"onApply", 0, 0, false}; return true;
    case GuiTabClosed: out = {"onTabClosed", 1, 0, false}; return true;
    case GuiHidden: out = {"onHide", 0, 0, false}; return true;
    case GuiResized: out = {"onResize", 0, 0, false}; return true;
    case GuiDrawReport: out = {"onDraw", 0, 0, false}; return true;
    case GuiPopupClosed: out = {"onPopupClosed", 0, 0, false}; return true;
    case GuiPopupClicked: out = {"onPopupClicked", 0, 0, false}; return true;
    case GuiLeftReleased: out = {"onClick", 2, 0, false}; return true;
    case GuiLeftPressed: out = {"onClick", 2, 0, true}; return true;
    case GuiMiddleReleased: out = {"onClick", 2, 2, false}; return true;
    case GuiMiddlePressed: out = {"onClick", 2, 2, true}; return true;
    case GuiRightReleased: out = {"onClick", 2, 1, false}; return true;
    case GuiRightPressed: out = {"onClick", 2, 1, true}; return true;
    default: return false;
    }
}

} // namespace

CLuaGuiLibrary::CLuaGuiLibrary(gui::IGUIEnvironment* environment, lua_State* L)
    : m_environment(environment), m_state(L)
{
    g_library = this;
    if (event::CEventSubscriberList* list = event::CEventSubscriberList::get())
    {
        setSubscriberList(list);
        list->addReceiver(this);
    }
}

CLuaGuiLibrary::~CLuaGuiLibrary()
{
    // No callback is made while the components go.
    m_closing = true;
    if (event::CEventSubscriberList* list = getSubscriberList())
    {
        list->removeReceiver(this);
        setSubscriberList(nullptr);
    }
    while (!m_wrappers.empty())
        removeComponent(m_wrappers.front());
    for (CGuiElementWrapper* wrapper : m_discarded)
        delete wrapper;
    m_discarded.clear();
    m_aliases.clear();
    if (g_library == this) g_library = nullptr;
}

CLuaGuiLibrary* CLuaGuiLibrary::get() { return g_library; }

void CLuaGuiLibrary::install(lua_State* L) { installTable(L, "gui", kFunctions); }

int CLuaGuiLibrary::createComponent(const CLuaArgs& a)
{
    lua_State* L = a.state();
    if (a.count() < 1 || !m_environment) return 0;
    const CString type = a.text(1);
    const CString name = a.count() >= 3 ? a.text(3) : CString();
    gui::IGUIElement* parent = nullptr;
    if (a.count() >= 2 && !a.isNil(2))
    {
        CGuiElementWrapper* owner = a.isText(2) ? findByName(a.text(2)) : fromTable(L, a.index(2));
        if (owner) parent = owner->getElement();
    }

    static const char* const kTypes[] = {"label",  "button", "checkbox", "combobox",
                                         "radiolist", "editbox", "window", "frame",
                                         "dframe", "layout", "tabrow", "listbox",
                                         "vscroll", "hscroll", "clickarea", "modal"};
    int kind = -1;
    for (int i = 0; i < int(sizeof(kTypes) / sizeof(kTypes[0])) && kind < 0; ++i)
        if (type == kTypes[i]) kind = i;
    if (kind < 0)
    {
        printThroughScript(L, "gui_createComponent: Invalid type name");
        return 0;
    }

    const int32_t id = m_nextId++;
    const video::SRecti small{0, 0, 10, 10}, wide{0, 0, 100, 10}, square{0, 0, 100, 100};
    gui::IGUIEnvironment* env = m_environment;
    gui::IGUIElement* element = nullptr;
    switch (kind)
    {
    case 0: element = env->addStaticText("", small, false, false, parent, id); break;
    case 1: element = env->addButton(small, parent, id); break;
    case 2: element = env->addCheckBox(false, small, parent, id); break;
    case 3: element = env->addComboBox(wide, parent, id); break;
    case 4: element = env->addRadioList(wide, parent, id); break;
    case 5: element = env->addEditBox("", wide, true, parent, id); break;
    case 6: element = env->addWindow(wide, false, "", parent, id); break;
    case 7: element = env->addFrame(wide, parent, id); break;
    case 8: element = env->addDetachableFrame(wide, parent, id, 500, true, true); break;
    case 9: element = env->addLayout(wide, parent); break;
    case 10: element = env->addTabButtonRow({0, 0}, 200, parent, id); break;
    case 11: element = env->addListBox(square, parent, id, false); break;
    case 12: element = env->addScrollBar(false, square, parent, id); break;
    case 13: element = env->addScrollBar(true, square, parent, id); break;
    case 14: element = env->addClickArea(square, parent, id); break;
    default: element = env->addModalScreen(); break;
    }
    if (!element) return 0;
    element->setID(id);

    auto* wrapper = new CGuiElementWrapper(L, this, id, name, element);
    m_wrappers.push_back(wrapper);
    wrapper->push();
    return 1;
}

CGuiElementWrapper* CLuaGuiLibrary::findByName(const CString& name) const
{
    for (CGuiElementWrapper* wrapper : m_wrappers)
        if (wrapper->getName() == name) return wrapper;
    return nullptr;
}

CGuiElementWrapper* CLuaGuiLibrary::findById(int32_t id) const
{
    auto it = std::lower_bound(m_wrappers.begin(), m_wrappers.end(), id,
                               [](const CGuiElementWrapper* w, int32_t value)
                               { return w->getId() < value; });
    return it != m_wrappers.end() && (*it)->getId() == id ? *it : nullptr;
}

CGuiElementWrapper* CLuaGuiLibrary::findByElement(const gui::IGUIElement* element) const
{
    if (!element) return nullptr;
    const int32_t id = element->getID();
    if (id < FIRST_ID || id >= m_nextId) return nullptr;
    CGuiElementWrapper* wrapper = findById(id);
    return wrapper && wrapper->getElement() == element ? wrapper : nullptr;
}

CGuiElementWrapper* CLuaGuiLibrary::fromTable(lua_State* L, int index) const
{
    if (!lua_istable(L, index)) return nullptr;
    lua_rawgeti(L, index, 0);
    const void* object = lua_type(L, -1) == LUA_TLIGHTUSERDATA ? lua_touserdata(L, -1) : nullptr;
    lua_pop(L, 1);
    if (!object) return nullptr;
    for (CGuiElementWrapper* wrapper : m_wrappers)
        if (static_cast<const Lunamatic<CGuiElementWrapper>*>(wrapper) == object) return wrapper;
    return nullptr;
}

int CLuaGuiLibrary::removeChildComponents(gui::IGUIElement* element)
{
    int count = 0;
    for (gui::IGUIElement* child : element->getChildren())
    {
        CGuiElementWrapper* wrapper = findByElement(child);
        if (!wrapper) continue;
        count += removeChildComponents(child);
        discard(wrapper);
        ++count;
    }
    return count;
}

int CLuaGuiLibrary::removeComponent(CGuiElementWrapper* wrapper)
{
    gui::IGUIElement* element = wrapper->getElement();
    int count = element ? removeChildComponents(element) : 0;
    wrapper->detach();
    // Removing detaches the subtree; the parent's reference was the last.
    if (element) element->remove();
    discard(wrapper);
    return count + 1;
}

void CLuaGuiLibrary::discard(CGuiElementWrapper* wrapper)
{
    auto it = std::find(m_wrappers.begin(), m_wrappers.end(), wrapper);
    if (it != m_wrappers.end()) m_wrappers.erase(it);
    wrapper->detach();
    if (m_callDepth > 0)
        m_discarded.push_back(wrapper);
    else
        delete wrapper;
}

void CLuaGuiLibrary::queueRemove(const CGuiElementWrapper* wrapper)
{
    event::CEventSubscriberList* list = event::CEventSubscriberList::get();
    if (!list) return;
    const int32_t token = g_nextRemoveToken;
    g_nextRemoveToken = token == INT32_MAX ? 1 : token + 1;
    m_pendingRemovals.emplace_back(token, wrapper->getId());
    list->queueEvent(SEngineEvent::makeGui(nullptr, event::GuiRemoveRequest, token));
}

bool CLuaGuiLibrary::onEvent(const SEngineEvent& event)
{
    if (event.type != event::GuiEvent || m_closing) return false;
    const event::SGUIEvent& gui = event.gui;
    if (!gui.caller)
    {
        // A queued remove request: only this library's own count.
        if (gui.eventType != event::GuiRemoveRequest) return false;
        auto it = std::find_if(m_pendingRemovals.begin(), m_pendingRemovals.end(),
                               [&](const std::pair<int32_t, int32_t>& pending)
                               { return pending.first == gui.value; });
        if (it == m_pendingRemovals.end()) return false;
        const int32_t id = it->second;
        m_pendingRemovals.erase(it);
        if (CGuiElementWrapper* wrapper = findById(id)) removeComponent(wrapper);
        return true;
    }
    CGuiElementWrapper* wrapper = findByElement(gui.caller);
    if (!wrapper) return false;
    if (gui.eventType == event::GuiRemoveRequest)
    {
        removeComponent(wrapper);
        return true;
    }
    SCallback callback;
    if (!callbackOf(gui.eventType, callback)) return false;
    if (callback.extra == 1)
        call(wrapper, callback.name, 1, gui.value, false);
    else
        call(wrapper, callback.name, callback.extra, callback.button, callback.pressed);
    return true;
}

void CLuaGuiLibrary::call(CGuiElementWrapper* wrapper, const char* callback, int extra,
                          int32_t number, bool flag)
{
    lua_State* L = m_state;
    const int top = lua_gettop(L);
    wrapper->push();
    if (!lua_istable(L, -1))
    {
        lua_settop(L, top);
        return;
    }
    lua_pushstring(L, callback);
    lua_rawget(L, -2);
    if (!lua_isfunction(L, -1))
    {
        lua_settop(L, top);
        return;
    }
    // Stack: table, handler, function, table, extras.
    lua_pushcfunction(L, tracebackHandler);
    lua_insert(L, -2);
    lua_pushvalue(L, top + 1);
    if (extra >= 1) lua_pushinteger(L, number);
    if (extra >= 2) lua_pushboolean(L, flag);
    ++m_callDepth;
    const int status = lua_pcall(L, 1 + extra, 0, top + 2);
    --m_callDepth;
    if (status != 0)
    {
        const CString error = lua_isstring(L, -1) ? toCString(L, -1)
                                                  : CString("(error object is a ") +
                                                        luaL_typename(L, -1) + " value)";
        size_t start = 0;
        while (true)
        {
            const size_t end = error.find('\n', start);
            printThroughScript(L, error.substr(start, end == CString::npos ? end : end - start));
            if (end == CString::npos) break;
            start = end + 1;
        }
    }
    lua_settop(L, top);
    if (m_callDepth == 0 && !m_discarded.empty())
    {
        std::vector<CGuiElementWrapper*> doomed;
        doomed.swap(m_discarded);
        for (CGuiElementWrapper* gone : doomed)
            delete gone;
    }
}

CString CLuaGuiLibrary::resolvePath(const CLuaArgs& args, int n) const
{
    if (!args.isText(n)) return CString();
    return getScriptRelativePath(args, n, m_aliases);
}

gui::IGUIFont* CLuaGuiLibrary::loadFont(const CString& path) const
{
    if (!m_environment || path.empty()) return nullptr;
    return m_environment->getFont(path);
}

video::ISpritePackage* CLuaGuiLibrary::loadPackage(const CString& path) const
{
    video::IVideoDriver* driver = m_environment ? m_environment->getVideoDriver() : nullptr;
    if (!driver || path.empty()) return nullptr;
    return driver->getSpritePackage(path, true, true);
}

} // namespace zu::lua
