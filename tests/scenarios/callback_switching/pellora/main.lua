-- A callback whose first call finds no hook entry is switched off for good;
-- one whose first call finds an entry (even an empty one) stays on.
hook.remove("keyPress", print)      -- an empty entry: keyPress stays on
local renders = 0
hook.add("frameRender", function()
    renders = renders + 1
    if renders == 2 then
        -- too late: frameUpdate found no entry on the first pass
        hook.add("frameUpdate", function() print("frameUpdate ran") end)
        hook.add("keyPress", function(k) print("keyPress " .. k) end)
    end
end)
hook.add("gameClose", function() print("renders " .. renders) end)
