-- Runs Starfall and reports what it shows: the title screen or the game,
-- and the fox's way across the screen (the one sprite drawn with a flip).
local titleDrawn, foxX = false, nil
local renderText, renderSprite = video.renderText, video.renderSpriteState
video.renderText = function(text, ...)
    if text == "#3S T A R F A L L" then titleDrawn = true end
    return renderText(text, ...)
end
video.renderSpriteState = function(...)
    if select("#", ...) == 10 then foxX = select(2, ...) end
    return renderSprite(...)
end

dofile("starfall.lua")

local screen, side
hook.add("frameRender", function()
    local now = titleDrawn and "title" or "game"
    if now ~= screen then print("screen " .. now) screen = now end
    titleDrawn = false
    local at = foxX and (foxX > 600 and "right" or foxX < 250 and "left") or nil
    if at and at ~= side then print("fox " .. at) side = at end
end)
