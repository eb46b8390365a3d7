-- Remove requests name their component: asking twice in one frame, or
-- removing the component before its request arrives, removes it once, and a
-- kept table of a removed component does nothing.
local pass = 0
local a, w
hook.add("gameInit", function()
    a = gui.createComponent("button")
    a:setRelativePosition(10, 10, 50, 20)
    w = gui.createComponent("window")
    w:setRelativePosition(100, 100, 200, 100)
    gui.createComponent("label", w)
    a:remove()
    a:remove()
    w:remove()
    print("removed at once " .. gui.removeComponent(w))
    print("window table " .. select("#", w:getText()) + select("#", w:isVisible()))
end)
hook.add("frameUpdate", function()
    pass = pass + 1
    if pass == 2 then
        print("button after delivery " .. tostring(gui.isElementAt(20, 15)) .. " " ..
            select("#", a:isVisible()) .. " " .. gui.removeComponent(a))
        a:remove()
        a:setText(WChar("gone"))
    elseif pass == 4 then
        print("still running")
    end
end)
