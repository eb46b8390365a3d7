-- An error in frameUpdate shows the error screen and switches off frameUpdate
-- only; frameRender and gameClose keep working.
local updates, renders = 0, 0
local function explode()
    error("boom in update")
end
hook.add("frameUpdate", function(dt)
    updates = updates + 1
    print("update " .. updates)
    if updates == 2 then explode() end
end)
hook.add("frameRender", function() renders = renders + 1 end)
hook.add("gameClose", function() print("closing: updates " .. updates .. " renders " .. renders) end)
