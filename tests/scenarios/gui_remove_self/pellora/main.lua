-- A component removing itself with gui.removeComponent inside its own
-- callback: the callback goes on with its table, which does nothing from
-- then on, and the component's children go with it.
hook.add("gameInit", function()
    local layout = gui.createComponent("layout", nil, "row")
    layout:setRelativePosition(50, 50, 300, 100)
    local b = gui.createComponent("button", layout, "b")
    b:setRelativePosition(10, 10, 100, 30)
    gui.createComponent("label", b)
    b.onClick = function(self)
        print("removed " .. gui.removeComponent(self) .. " then " .. gui.removeComponent("b"))
        print("self now " .. select("#", self:isVisible()) + select("#", self:getText()))
        self:remove()
        self:fakeButtonClick()
        print("callback ends")
    end
    local c = gui.createComponent("button", layout)
    c:setRelativePosition(150, 10, 100, 30)
    c.onClick = function(self)
        -- Removing the parent from a child's callback takes the child too.
        c.onClick = nil
        print("row removed " .. gui.removeComponent("row"))
        print("c now " .. select("#", self:getText()))
    end
end)
local pass = 0
hook.add("frameUpdate", function()
    pass = pass + 1
    if pass == 5 then print("row there " .. tostring(gui.isElementAt(60, 60))) end
end)
