-- A game that reads everything it needs from its own folder, whether that is
-- a folder on disk, a zip archive or an archive appended to the runtime.
local helper = dofile("helper.lua")
print("helper says " .. helper.greeting())

local r = ReadFile("$GAME_RESOURCES$/pellora/data.bin")
print("data ok " .. tostring(r:isOk()) .. " " .. tostring(r:readInt()))
r:close()

local names = kelvo.getFolderContents("$GAME_RESOURCES$/pellora", "*.lua")
table.sort(names)
print("scripts " .. table.concat(names, ","))

kelvo.getUserFolderPath("Zipped")
local w = WriteFile("$USERDATA$/Zipped/save.dat")
w:writeInt(42)
w:close()
local back = ReadFile("$USERDATA$/Zipped/save.dat")
print("saved " .. tostring(back:readInt()))
back:close()

-- Ends by itself, so a fused copy started with no arguments at all stops too.
local frames = 0
hook.add("frameUpdate", function()
    frames = frames + 1
    if frames == 3 then kelvo.exitGame() end
end)
