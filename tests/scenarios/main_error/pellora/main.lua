print("before the error")
hook.add("gameInit", function() print("gameInit must not run") end)
hook.add("gameClose", function() print("gameClose must not run") end)
local x = nil + 1
