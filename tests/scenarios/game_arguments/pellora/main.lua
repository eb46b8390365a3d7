-- What follows the game on the command line reaches the script as arg;
-- the runtime's own options there stay the runtime's.
local frames = 0
print("arguments: " .. #arg)
for i = 1, #arg do print("arg " .. i .. " " .. arg[i]) end
print("arg 0 is the game folder: " .. tostring(arg[0]:match("/game$") ~= nil))
hook.add("frameUpdate", function() frames = frames + 1 end)
hook.add("gameClose", function() print("frames " .. frames) end)
