-- Ctrl+R restarts with a fresh script state: globals are gone, gameClose runs
-- on the old script, gameInit on the new one, and held keys read as released.
print("main.lua runs, counter is " .. tostring(counter))
counter = (counter or 0) + 1
local passes, keys = 0, {}
hook.add("gameInit", function() print("gameInit, counter " .. counter) end)
hook.add("frameUpdate", function()
    passes = passes + 1
    if passes == 6 then print("A held: " .. tostring(kelvo.isKeyPressed(0x41))) end
end)
hook.add("keyPress", function(k) keys[#keys + 1] = k end)
hook.add("gameClose", function() print("gameClose, keys: " .. table.concat(keys, ",")) end)
