-- A machine without a sound device, and a game that asks for a broken image
-- on every frame: one line for each, nothing more.
local frames = 0
hook.add("frameUpdate", function() frames = frames + 1 end)
hook.add("frameRender", function()
    video.render2dTexture("$GAME_RESOURCES$/pellora/broken.bmp", 0, 0, 10, 10)
    audio.playSound("missing.ogg")
end)
hook.add("gameClose", function() print("ran " .. frames .. " frames") end)
