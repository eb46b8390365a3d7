-- The built-in session against the protocol peer of peer.py: with ROLE=host
-- the runtime hosts "pyGame" and the peer joins, with ROLE=join the runtime
-- joins the peer as "Zoë" (and once more after its first refusal). Every
-- packet is printed and packet 1 answered with a sample; packet 99 ends the
-- game.
local c = dofile("../../common.lua")
local role = os.getenv("ROLE")
local refused = false

local function join() kelvo.joinHost("pyGame", "Zo\195\171", "127.0.0.1", c.port) end

hook.add("gameInit", function()
    if role == "host" then
        kelvo.startHost("pyGame", "Host", c.port, 3)
    else
        join()
    end
    print("started " .. role)
end)
hook.add("clientConnected", function(name, id) print("clientConnected " .. name .. " " .. id) end)
hook.add("clientDisconnected", function(id) print("clientDisconnected " .. id) end)
hook.add("connectSucceeded", function(id)
    print("connectSucceeded " .. id)
    kelvo.sendPacket(1000, 7, {true, 3, 2.5, "ab"})
end)
hook.add("connectFailed", function(reason)
    print("connectFailed " .. reason)
    if role == "join" and not refused then
        refused = true
        join()
    end
end)
hook.add("packetReceived", function(packetId, values, from)
    print(string.format("packetReceived %d from %d: %s", packetId, from, c.show(values)))
    if packetId == 1 then kelvo.sendPacket(from, 7, {true, 3, 2.5, "ab"}) end
    if packetId == 99 then kelvo.exitGame() end
end)
hook.add("frameUpdate", function()
    c.nap(2)
    c.limit(30)
end)
