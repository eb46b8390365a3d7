-- The raknet table and RaknetInstance in one runtime: the results that need
-- no other peer. Nothing here sends a datagram.
local function say(format, ...) print(string.format(format, ...)) end

local a = raknet.create()
local b = RaknetInstance:new()
local c = RaknetInstance()
say("base %d", raknet.getBasePacketId())
say("names %s | %s | %s", a:getPacketName(16), a:getPacketName(200), a:getPacketName())
say("nat names %s %s", a:getPacketName(68), a:getPacketName(73))

-- Nothing received: four nils, and again.
say("next %d %s", select("#", a:nextPacket()), tostring(a:nextPacket()))
say("next again %s sender %s", tostring(a:nextPacket()), tostring(a:getPacketSenderAddress()))

-- Without a bit stream reads give nil and sends nothing.
say("no stream: read %s send %s", tostring(a:readInt()), tostring(a:send(a:getMyGuid())))
a:createPacket(132)
a:writeInt(5)
say("after a reserved id: send %s broadcast %s", tostring(a:send(a:getMyGuid())), tostring(a:broadcast()))
a:createPacket(133)
say("created 133")
a:createPacket(256)

-- A port another instance holds.
local port = 41000
while raknet.isPortInUse(port) do port = port + 1 end
say("hosting %s", tostring(b:host(port, 4)))
say("in use %s", tostring(raknet.isPortInUse(port)))
local ok, err = a:host(port)
say("host on a held port: %s %s", tostring(ok), err)
say("ping without a connection %d %d", a:getAveragePing(), a:getAveragePing("12345"))
say("guid is decimal %s", tostring(b:getMyGuid():match("^%d+$") ~= nil))

-- Connecting to an IPv6 address from an IPv4 peer cannot resolve.
ok, err = c:connect("::1", 19132)
say("connect: %s %s", tostring(ok), err)

ok, err = pcall(function() a:writeWideString("plain text") end)
say("wide string of a text: %s", tostring(err))
say("%s", tostring(a):match("^RaknetInstance %(") and "tostring ok" or tostring(a))
say("done")
hook.add("frameUpdate", function() end)
