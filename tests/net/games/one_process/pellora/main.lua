-- One runtime, both ends: the built-in session hosts and a net object joins
-- it. Lines carry the frame they were printed in. The object's callback for
-- packet 5 raises an error, and the object must go on; after packet 6 it
-- sends packet 3 and leaves in the same breath, so the host's next frame
-- holds the departure and the packet, the departure first.
local c = dofile("../../common.lua")
local frame = 0
local joiner

local function say(text) print(string.format("F%d %s", frame, text)) end

hook.add("gameInit", function()
    kelvo.startHost("solo", "Host", c.port)
    joiner = net.createDevice()
    function joiner:onConnect(id)
        say("onConnect " .. id)
        self:sendData("ignored: packet mode")
        self:sendPacket(1000, 1, {"one", 1})
        self:sendPacket(1000, 2, {"two", 2})
    end
    function joiner:onPacket(packetId, values, from)
        say(string.format("onPacket %d from %d: %s", packetId, from, c.show(values)))
        if packetId == 5 then error("deliberate failure in onPacket") end
        if packetId == 6 then
            self:sendPacket(1000, 3, {"last"})
            self:disconnect()
        end
    end
    joiner:joinHost("solo", "Net", "127.0.0.1", c.port)
end)
hook.add("clientConnected", function(name, id) say("clientConnected " .. name .. " " .. id) end)
hook.add("clientDisconnected", function(id)
    say("clientDisconnected " .. id)
    kelvo.exitGame()
end)
hook.add("packetReceived", function(packetId, values, from)
    say(string.format("packetReceived %d from %d: %s", packetId, from, c.show(values)))
    if packetId == 2 then
        kelvo.sendPacket(from, 5, {"boom"})
        kelvo.sendPacket(from, 6, {"after"})
    end
end)
hook.add("frameUpdate", function()
    frame = frame + 1
    -- Slow frames: what arrives meanwhile waits for the next one.
    c.nap(20)
    c.limit(30)
end)
