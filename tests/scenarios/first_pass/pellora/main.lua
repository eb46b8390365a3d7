-- The first pass measures no time: nothing is updated or rendered on it, and
-- every later update carries a positive dt.
local updates, renders = 0, 0
hook.add("frameUpdate", function(dt)
    updates = updates + 1
    if dt <= 0 then print("bad dt " .. dt) end
end)
hook.add("frameRender", function() renders = renders + 1 end)
hook.add("gameClose", function() print("updates " .. updates .. " renders " .. renders) end)
