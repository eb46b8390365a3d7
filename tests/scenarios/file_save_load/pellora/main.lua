-- A game saves its state and loads it back with WriteFile and ReadFile: on
-- disk, compressed, in memory, and from saves packed in a zip archive by
-- another tool.
local state = {level = 7, score = -1234, speed = 2.5, name = "Ayla", alive = true, hard = false,
               lives = 3}

local function save(w)
    w:writeInt(state.level)
    w:writeInt(state.score)
    w:writeFloat(state.speed)
    w:writeString(state.name)
    w:writeBoolean(state.alive)
    w:writeBoolean(state.hard)
    w:writeByte(state.lives)
end

local function load(r)
    return {level = r:readInt(), score = r:readInt(), speed = r:readFloat(), name = r:readString(),
            alive = r:readBoolean(), hard = r:readBoolean(), lives = r:readByte()}
end

local function show(what, s)
    print(string.format("%s: level=%d score=%d speed=%.2f name=%s alive=%s hard=%s lives=%d", what,
                        s.level, s.score, s.speed, s.name, tostring(s.alive), tostring(s.hard),
                        s.lives))
end

local saves = kelvo.getUserFolderPath("saves")

local w = WriteFile(saves .. "/slot1.sav")
save(w)
w:close()
show("file", load(ReadFile(saves .. "/slot1.sav")))

w = WriteFile("$USERDATA$/saves/slot2.sav", "zip")
save(w)
w:close()
show("compressed", load(ReadFile("$USERDATA$/saves/slot2.sav", "z")))
-- A compressed save is not readable as plain fields: it starts with its length.
print("compressed starts with length: " .. ReadFile("$USERDATA$/saves/slot2.sav"):readInt())

local m = WriteFile(nil, "memory")
save(m)
local snapshot = ReadFile(m, "m")
m:writeInt(5)
show("memory", load(snapshot))

show("zip plain", load(ReadFile("$GAME_RESOURCES$/pellora/saves.zip/state.bin")))
show("zip compressed", load(ReadFile("$GAME_RESOURCES$/pellora/saves.zip/state.z", "z")))

print("missing save: " .. tostring(ReadFile("$USERDATA$/saves/none.sav"):isOk()))
print("wide text: " .. WChar("level", state.level):toString())
