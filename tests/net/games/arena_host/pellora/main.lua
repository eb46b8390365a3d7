-- Two runtimes, the host: hosts "arena" through the built-in session with
-- the default maximum of 8, prints every callback, answers the joiner's
-- packets and hosts again when asked to (packet 12). Packet 13 ends it.
local c = dofile("../../common.lua")

hook.add("gameInit", function()
    kelvo.startHost("arena", "Host", c.port)
    print("hosting")
end)
hook.add("clientConnected", function(name, id) print("clientConnected " .. name .. " " .. id) end)
hook.add("clientDisconnected", function(id) print("clientDisconnected " .. id) end)
hook.add("packetReceived", function(packetId, values, from)
    print(string.format("packetReceived %d from %d: %s", packetId, from, c.show(values)))
    if packetId == 10 then
        kelvo.sendPacket(from, 20, {"reply", from})
        kelvo.broadcastPacket(21, {"to all"})
    elseif packetId == 12 then
        print("hosting again")
        kelvo.startHost("arena", "Host", c.port)
    elseif packetId == 13 then
        print("done")
        kelvo.exitGame()
    end
end)
hook.add("frameUpdate", function()
    c.nap(2)
    c.limit(60)
end)
