-- Ctrl+R with a remove request still queued (made in gameClose): the old
-- script's components are all gone before the new script starts, and the
-- request does not remove the new script's component that took the same id.
restarted = restarted
print("start, components there: " .. tostring(gui.isElementAt(20, 15)))
local b
hook.add("gameInit", function()
    b = gui.createComponent("button")
    b:setRelativePosition(10, 10, 50, 20)
    b.onClick = function() print("clicked") end
end)
local pass = 0
hook.add("frameUpdate", function()
    pass = pass + 1
    if pass == 6 then print("after restart " .. tostring(gui.isElementAt(20, 15))) end
end)
hook.add("gameClose", function()
    b:remove()
    b:remove()
    print("closing")
end)
