// The gui table over a real GUI environment on the recording driver: the ids
// of components, and components whose elements were destroyed behind the
// library's back (the environment cleared, a parent removed natively), whose
// tables must then do nothing and get no callbacks.
#include "gui/GuiTreeFixture.h"
#include "lua/LuaTestState.h"

#include "event/CEventSubscriberList.h"
#include "gui/IGUIElement.h"
#include "lua/CGuiElementWrapper.h"
#include "lua/CLuaGuiLibrary.h"
#include "lua/CLuaWChar.h"

#include <gtest/gtest.h>

namespace
{

class GuiLibrary : public guitest::GuiTree
{
  protected:
    GuiLibrary()
    {
        m_env->setUserEventReceiver(&m_list);
        zu::lua::CLuaWChar::install(lua.L);
        m_library = new zu::lua::CLuaGuiLibrary(m_env, lua.L);
        m_library->install(lua.L);
        lua.run("clicks = 0");
    }
    ~GuiLibrary() override
    {
        delete m_library;
        m_env->setUserEventReceiver(nullptr);
    }

    zu::event::CEventSubscriberList m_list;
    luatest::CState lua;
    zu::lua::CLuaGuiLibrary* m_library = nullptr;
};

TEST_F(GuiLibrary, ComponentsTakeIdsInCreationOrder)
{
    EXPECT_EQ(lua.run("return gui.isElementAt(400, 300)"), "false");
    EXPECT_EQ(lua.run("a = gui.createComponent('button') b = gui.createComponent('layout') "
                      "m = gui.createComponent('modal') return type(a), type(b), type(m)"),
              "table,table,table");
    for (int32_t id : {1001000, 1001001, 1001002})
    {
        zu::lua::CGuiElementWrapper* wrapper = m_library->findById(id);
        ASSERT_NE(wrapper, nullptr) << id;
        EXPECT_EQ(wrapper->getElement()->getID(), id);
    }
    // Ids are not reused after a removal.
    EXPECT_EQ(lua.run("gui.removeComponent(a) c = gui.createComponent('label') return 1"), "1");
    EXPECT_EQ(m_library->findById(1001000), nullptr);
    ASSERT_NE(m_library->findById(1001003), nullptr);
    EXPECT_EQ(lua.run("return gui.isElementAt(400, 300)"), "true"); // the modal screen
}

TEST_F(GuiLibrary, ClearedEnvironmentLeavesInertComponents)
{
    lua.run("b = gui.createComponent('button') b:setRelativePosition(10, 10, 100, 30) "
            "b.onClick = function() clicks = clicks + 1 end");
    click(50, 20);
    EXPECT_EQ(lua.run("return clicks"), "1");

    // Away from the button, so the hover lets go of it and the clear
    // destroys it.
    moveTo(700, 500);
    m_env->clear();
    EXPECT_EQ(m_library->findById(1001000)->getElement(), nullptr);
    // Every method of the kept table does nothing and returns nothing.
    EXPECT_EQ(lua.run("return select('#', b:isVisible()) + select('#', b:getText()) + select('#', b:isPressed())"), "0");
    EXPECT_EQ(lua.run("b:setText('x') b:remove() b:fakeButtonClick() return clicks"), "1");
    m_list.dispatchQueued();
    // A new button where the old one was gets the clicks; the old one none.
    lua.run("n = gui.createComponent('button') n:setRelativePosition(10, 10, 100, 30) "
            "n.onClick = function() clicks = clicks + 10 end");
    click(50, 20);
    EXPECT_EQ(lua.run("return clicks"), "11");
    // The inert component can still be removed by the script, once.
    EXPECT_EQ(lua.run("return gui.removeComponent(b), gui.removeComponent(b)"), "1,0");
}

TEST_F(GuiLibrary, ParentRemovedNativelyLeavesInertChildren)
{
    lua.run("w = gui.createComponent('window', nil, 'w') w:setRelativePosition(0, 0, 300, 200) "
            "b = gui.createComponent('button', w) b:setRelativePosition(20, 40, 80, 20) "
            "b.onClick = function() clicks = clicks + 1 end");
    m_library->findById(1001000)->getElement()->remove();
    EXPECT_EQ(m_library->findById(1001001)->getElement(), nullptr);
    click(50, 50);
    EXPECT_EQ(lua.run("return clicks, select('#', b:getAbsolutePosition())"), "0,0");
    // Both wrappers go, without touching the destroyed elements.
    EXPECT_EQ(lua.run("return gui.removeComponent('w') + gui.removeComponent(b)"), "2");
    EXPECT_EQ(m_library->getComponentCount(), 0u);
}

TEST_F(GuiLibrary, RemovalInsideACallbackWaitsForItsEnd)
{
    // The callback removes its own component and then still uses the table
    // and the component's name; the wrapper is deleted after it returns.
    lua.run("b = gui.createComponent('button', nil, 'b') b:setRelativePosition(10, 10, 100, 30) "
            "b.onClick = function(self) "
            "  n = gui.removeComponent(self) "
            "  again = gui.removeComponent('b') "
            "  results = select('#', self:isVisible()) "
            "end");
    click(50, 20);
    EXPECT_EQ(lua.run("return n, again, results"), "1,0,0");
    EXPECT_EQ(m_library->getComponentCount(), 0u);
    EXPECT_EQ(lua.run("return rawget(b, 0)"), "nil");
}

TEST_F(GuiLibrary, QueuedRemovalsNameTheComponent)
{
    lua.run("a = gui.createComponent('button') a:remove() a:remove() "
            "w = gui.createComponent('window') gui.createComponent('label', w) w:remove() "
            "gui.removeComponent(w)");
    EXPECT_EQ(m_library->getComponentCount(), 1u);
    m_list.dispatchQueued();
    EXPECT_EQ(m_library->getComponentCount(), 0u);

    // A request left from a library that is gone means nothing to the next.
    lua.run("x = gui.createComponent('button') x:remove()");
    delete m_library;
    m_library = new zu::lua::CLuaGuiLibrary(m_env, lua.L);
    m_library->install(lua.L);
    lua.run("y = gui.createComponent('button')");
    ASSERT_NE(m_library->findById(1001000), nullptr);
    m_list.dispatchQueued();
    EXPECT_NE(m_library->findById(1001000), nullptr);
    EXPECT_EQ(lua.run("return select('#', x:isVisible()), y:isVisible()"), "0,true");
}

} // namespace
