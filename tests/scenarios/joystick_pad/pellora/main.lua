-- Pads driven by the events file: plugging in and out, buttons, axes, and a
-- restart that finds the pads already there.
local function names()
    local out = {}
    for j = 16, 19 do
        local name = kelvo.getJoystickName(j)
        if name then out[#out + 1] = j .. "=" .. name end
    end
    return table.concat(out, " ")
end

hook.add("gameInit", function()
    local joysticks, pads = kelvo.getJoystickCount()
    print("init joysticks " .. joysticks .. " pads " .. pads .. " (" .. names() .. ")")
end)
hook.add("joystickAdded", function(j)
    print("added " .. j .. " " .. tostring(kelvo.getJoystickName(j)))
    kelvo.setJoystickVibration(j, 70000, 1000)
end)
hook.add("joystickRemoved", function(j)
    print("removed " .. j .. " " .. tostring(kelvo.getJoystickName(j)))
end)
hook.add("joystickButtonPressed", function(j, b)
    print("pressed " .. j .. " " .. b .. " held " .. tostring(kelvo.isJoystickButtonPressed(j, b)))
end)
hook.add("joystickButtonReleased", function(j, b)
    print("released " .. j .. " " .. b .. " held " .. tostring(kelvo.isJoystickButtonPressed(j, b)))
end)

local last = ""
hook.add("frameUpdate", function()
    -- Axes counted from 1: 2 is the left stick's y, 8 the right trigger.
    local now = string.format("axes %.3f %.3f %.3f", kelvo.getJoystickAxises(16, 1),
        kelvo.getJoystickAxises(16, 2), kelvo.getJoystickAxises(16, 8))
    if now ~= last then
        print(now)
        last = now
    end
end)
