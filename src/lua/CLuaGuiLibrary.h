// CLuaGuiLibrary: the script table `gui`, which builds user interfaces out of
// components: GUI elements made by the library, each with a script table
// (a CGuiElementWrapper) that carries its methods and the callbacks the
// script stores in it (onClick, onChange ...).
//
// The library subscribes to the event subscriber list and turns the GUI
// events whose caller is one of its components into callbacks. Component
// ids start at 1001000 and grow with creation order, so the wrappers, kept
// in creation order, are sorted by id.
//
// Removal is safe from anywhere: a component's `remove` posts a request
// that names its id (looked up when it is delivered, so a component already
// gone or a request left over from an earlier script does nothing), and a
// wrapper removed while one of the library's callbacks runs is only deleted
// once the callback has returned. An element destroyed behind the library's
// back (the environment cleared) leaves an inert wrapper: its methods do
// nothing and it gets no callbacks. Deleting the library removes every
// component; it must go while the script state is still open.
#pragma once

#include "core/CString.h"
#include "event/IEventReceiver.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cstdint>
#include <vector>

namespace zu::gui
{
class IGUIElement;
class IGUIEnvironment;
class IGUIFont;
} // namespace zu::gui

namespace zu::video
{
class ISpritePackage;
}

namespace zu::lua
{

class CGuiElementWrapper;

class CLuaGuiLibrary : public event::IEventReceiver
{
  public:
    static constexpr int32_t FIRST_ID = 1001000;

    // The environment may be null: createComponent then gives nothing. The
    // library subscribes itself to the process-wide subscriber list.
    CLuaGuiLibrary(gui::IGUIEnvironment* environment, lua_State* L);
    ~CLuaGuiLibrary() override;
    CLuaGuiLibrary(const CLuaGuiLibrary&) = delete;
    CLuaGuiLibrary& operator=(const CLuaGuiLibrary&) = delete;

    // The library of the running script, or null.
    static CLuaGuiLibrary* get();

    // Registers the table `gui` in the state.
    void install(lua_State* L);

    bool onEvent(const event::SEngineEvent& event) override;

    // gui.createComponent; pushes the component table or nothing.
    int createComponent(const CLuaArgs& args);
    // Removes the component and the components below it; the number of
    // wrappers removed.
    int removeComponent(CGuiElementWrapper* wrapper);
    // The first component of that name, in creation order, or null.
    CGuiElementWrapper* findByName(const core::CString& name) const;
    // The live component of that id, or null.
    CGuiElementWrapper* findById(int32_t id) const;
    // The component of the table at stack index `index`, or null.
    CGuiElementWrapper* fromTable(lua_State* L, int index) const;
    // Posts the remove request of the component; it is removed when the
    // subscriber list delivers its queue.
    void queueRemove(const CGuiElementWrapper* wrapper);

    // The file a script names (argument n, text), looked up as every
    // library looks up its resources; empty when the argument is no text.
    core::CString resolvePath(const CLuaArgs& args, int n) const;
    // The font of that file, or null (the skin font then applies).
    gui::IGUIFont* loadFont(const core::CString& path) const;
    // The sprite package of that file from the driver's cache, or null.
    video::ISpritePackage* loadPackage(const core::CString& path) const;

    gui::IGUIEnvironment* getEnvironment() const { return m_environment; }
    size_t getComponentCount() const { return m_wrappers.size(); }

  private:
    // The wrapper of the element when it is one of ours and alive.
    CGuiElementWrapper* findByElement(const gui::IGUIElement* element) const;
    // Removes the components of the element's children, depth first.
    int removeChildComponents(gui::IGUIElement* element);
    // Takes the wrapper out of the list; deletes it now, or once the
    // running callback returns.
    void discard(CGuiElementWrapper* wrapper);
    // Calls the callback stored in the component's table, if any.
    void call(CGuiElementWrapper* wrapper, const char* callback, int extra, int32_t number,
              bool flag);

    gui::IGUIEnvironment* m_environment;
    lua_State* m_state;
    int32_t m_nextId = FIRST_ID;
    std::vector<CGuiElementWrapper*> m_wrappers;
    // Removed during a callback, deleted once it returned.
    std::vector<CGuiElementWrapper*> m_discarded;
    int m_callDepth = 0;
    // Remove requests in the queue: (token, component id).
    std::vector<std::pair<int32_t, int32_t>> m_pendingRemovals;
    PathOverrides m_aliases;
    bool m_closing = false;
};

} // namespace zu::lua
