-- Runs Starfall and reports what its menus do: which of its windows are on
-- screen, the master volume, full screen, what the save file holds once the
-- options close, and the fox's way across the screen (the one sprite drawn
-- with a flip), which must not change while the game is paused.
local made = {}
local create = gui.createComponent
gui.createComponent = function(kind, ...)
    local c = create(kind, ...)
    if c and (kind == "window" or kind == "frame") then
        made[#made + 1] = c
        local parent = ...
        if type(parent) == "table" then c.parent = parent end
    end
    return c
end
local foxX
local renderSprite = video.renderSpriteState
video.renderSpriteState = function(...)
    if select("#", ...) == 10 then foxX = select(2, ...) end
    return renderSprite(...)
end

dofile("starfall.lua")

local function savedOptions()
    local r = ReadFile("$USERDATA$/Starfall/best.sav")
    if not r:isOk() then return "no save file" end
    local best, marker, volume, full = r:readInt(), r:readInt(), r:readInt(), r:readInt()
    r:close()
    return string.format("best %d, marker %d, volume %d, full screen %d", best, marker, volume, full)
end

local shown, volume, full, side, pausedAt = "", nil, nil, nil, nil
hook.add("frameRender", function()
    local now = {}
    for _, c in ipairs(made) do
        -- A removed component's methods return nothing; a window counts as
        -- shown while it and its parent (the screen or a modal shade) are.
        local parent = c.parent
        if c:isVisible() and (not parent or parent:isVisible()) then now[#now + 1] = "'" .. c:getText():toString() .. "'" end
    end
    now = table.concat(now, ", ")
    if now ~= shown then
        print("shown: " .. (now == "" and "nothing" or now))
        if shown == "'Options'" then print("saved: " .. savedOptions()) end
        pausedAt = now == "'Paused'" and foxX or nil
        shown = now
    end
    if pausedAt and foxX ~= pausedAt then print("fox moved while paused") pausedAt = nil end
    if audio.getMasterVolume() ~= volume then
        volume = audio.getMasterVolume()
        print(string.format("volume %.1f", volume))
    end
    if kelvo.isFullscreen() ~= full then
        full = kelvo.isFullscreen()
        print("full screen " .. tostring(full))
    end
    local at = foxX and (foxX > 600 and "right" or foxX < 250 and "left" or "middle") or nil
    if at and at ~= side then print("fox " .. at) side = at end
end)
