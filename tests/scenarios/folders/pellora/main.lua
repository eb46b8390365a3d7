-- Folders and time: listing on disk and inside a zip archive, the resource
-- and user folders, and the clock the main loop uses.
local res = kelvo.getResourcesFolderPath("pellora")
local function show(what, list)
    print(what .. ": " .. table.concat(list, " "))
end
show("levels *.txt", kelvo.getFolderContents(res .. "/levels", "*.txt"))
show("levels *.TXT", kelvo.getFolderContents(res .. "/levels", "*.TXT"))
show("levels level?.*", kelvo.getFolderContents(res .. "/levels", "level?.*"))
show("levels no filter", kelvo.getFolderContents(res .. "/levels"))
show("missing folder", kelvo.getFolderContents(res .. "/nowhere", "*"))
show("zip *.map", kelvo.getFolderContents("$GAME_RESOURCES$/pellora/data.zip/maps", "*.map"))
show("alias", kelvo.getFolderContents("$GAME_RESOURCES$/pellora/levels", "*.md"))
local user = kelvo.getUserFolderPath("saves/slot1")
local f = io.open(user .. "/save.txt", "w")
print("user folder writable: " .. tostring(f ~= nil))
if f then f:close() end
show("user folder", kelvo.getFolderContents(kelvo.getUserFolderPath("saves"), "*"))
local t0 = kelvo.getSeconds()
local t1
hook.add("frameUpdate", function() t1 = kelvo.getSeconds() end)
hook.add("gameClose", function() print("time went forward: " .. tostring(t1 > t0)) end)
