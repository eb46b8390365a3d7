-- Two runtimes, the joiner: joins "arena" through the built-in session, then
-- with a net object running another game, then with seven net objects, the
-- last of which finds the host full. Then it asks the host to host again,
-- which ends every session, and joins once more (trying again while the
-- host is not listening yet).
local c = dofile("../../common.lua")
local players = {}
local joinedAgain, rejoinAt, tries = false, nil, 0

local function player(name, game)
    local d = net.createDevice()
    d.name = name
    function d:onConnect(id) print("onConnect " .. self.name .. " " .. id) end
    function d:onFail(reason)
        print("onFail " .. self.name .. " " .. reason)
        if self.name == "P7" then kelvo.sendPacket(1000, 12, {}) end
    end
    function d:onPacket(packetId, values, from)
        print(string.format("onPacket %s %d from %d: %s", self.name, packetId, from, c.show(values)))
    end
    function d:onDisconnect() print("onDisconnect " .. self.name) end
    d:joinHost(game, name, "127.0.0.1", c.port)
    players[#players + 1] = d
end

hook.add("gameInit", function()
    kelvo.joinHost("arena", "Joiner", "127.0.0.1", c.port)
    player("Other", "another game")
    for i = 1, 7 do player("P" .. i, "arena") end
end)
hook.add("connectSucceeded", function(id)
    print("connectSucceeded " .. id)
    if joinedAgain then
        kelvo.sendPacket(1000, 13, {})
        kelvo.exitGame()
        return
    end
    kelvo.broadcastPacket(11, {"nobody"})
    kelvo.sendPacket(1000, 10, {true, 3, 2.5, "ab", {"nested"}, -3.0, 1e10, -2.5})
end)
hook.add("connectFailed", function(reason)
    print("connectFailed " .. reason)
    tries = tries + 1
    if joinedAgain and tries < 50 then rejoinAt = kelvo.getSeconds() + 0.1 end
end)
hook.add("packetReceived", function(packetId, values, from)
    print(string.format("packetReceived %d from %d: %s", packetId, from, c.show(values)))
end)
hook.add("hostDisconnected", function()
    print("hostDisconnected")
    joinedAgain = true
    rejoinAt = kelvo.getSeconds()
end)
hook.add("frameUpdate", function()
    if rejoinAt and kelvo.getSeconds() >= rejoinAt then
        rejoinAt = nil
        kelvo.joinHost("arena", "Again", "127.0.0.1", c.port)
    end
    c.nap(2)
    c.limit(60)
end)
