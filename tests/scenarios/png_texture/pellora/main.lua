-- A game whose only art is a PNG file.
local ART = "$GAME_RESOURCES$/pellora/art.png"
local frames = 0
hook.add("gameInit", function()
    local w, h = video.getTextureSize(ART)
    print("art " .. tostring(w) .. " x " .. tostring(h))
end)
hook.add("frameUpdate", function() frames = frames + 1 end)
hook.add("frameRender", function()
    video.render2dTexture(ART, 10, 10, 60, 40)
end)
hook.add("gameClose", function() print("drawn for " .. frames .. " frames") end)
