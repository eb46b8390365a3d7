-- exitGame from gameInit does nothing (the state is not yet listening);
-- from frameUpdate it ends the loop at the end of that same pass.
local updates = 0
hook.add("gameInit", function() kelvo.exitGame() print("init done") end)
hook.add("frameUpdate", function()
    updates = updates + 1
    print("update " .. updates)
    if updates == 3 then kelvo.exitGame() end
end)
hook.add("frameRender", function() print("render " .. updates) end)
hook.add("gameClose", function() print("close") end)
