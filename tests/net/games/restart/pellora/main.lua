-- Ctrl+R during a session. The first run counts the process's threads and
-- descriptors, then hosts through the built-in session and joins itself
-- with a net object; both ends send every frame until the test presses
-- Ctrl+R. The second run (it finds the first run's counts in the user
-- folder) must hear nothing of the old sessions and find the counts as
-- they were before them.
local c = dofile("../../common.lua")
local SAVE = "$USERDATA$/restart.dat"
local frame, second, threads, descriptors = 0, false, 0, 0
local joiner, hostSide, joinSide = nil, false, false

local saved = ReadFile(SAVE)
if saved:isOk() then
    second, threads, descriptors = true, saved:readInt(), saved:readInt()
end
saved:close()

local function active()
    if hostSide and joinSide then print("session active") end
end

local function firstRun()
    if frame == 10 then
        local t, d = c.threads(), c.descriptors()
        kelvo.getUserFolderPath()
        local w = WriteFile(SAVE)
        w:writeInt(t)
        w:writeInt(d)
        w:close()
        kelvo.startHost("restart", "Host", c.port)
        joiner = net.createDevice()
        function joiner:onConnect()
            joinSide = true
            active()
        end
        joiner:joinHost("restart", "Net", "127.0.0.1", c.port)
    end
    kelvo.broadcastPacket(50, {frame})
    if joiner then joiner:sendPacket(1000, 51, {frame}) end
end

local function secondRun()
    if frame == 30 then
        print(string.format("after the restart: %+d threads, %+d descriptors",
                            c.threads() - threads, c.descriptors() - descriptors))
    elseif frame == 60 then
        kelvo.exitGame()
    end
end

for _, name in ipairs({"clientConnected", "clientDisconnected", "connectSucceeded",
                       "connectFailed", "hostDisconnected", "packetReceived"}) do
    hook.add(name, function()
        if second then print("second run heard " .. name) end
        if name == "clientConnected" then
            hostSide = true
            active()
        end
    end)
end
hook.add("gameInit", function() print(second and "second run" or "first run") end)
hook.add("gameClose", function() print("gameClose") end)
hook.add("frameUpdate", function()
    frame = frame + 1
    if second then secondRun() else firstRun() end
    c.nap(5)
    c.limit(40)
end)
