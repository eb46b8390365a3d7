-- One end of a raknet test, as test_raknet.py runs it: the role and the
-- ports come from the environment, every line the test checks is printed,
-- and the game ends itself when its part is done or its time is up.
--   RAKNET_ROLE     jsp_client | jsp_host | fields_host | fields_client | fields_other | nat_peer
--   RAKNET_PORT     the port to host on or connect to (127.0.0.1)
--   RAKNET_SECONDS  how long at most (default 10)
--   RAKNET_TARGET   nat_peer: the GUID to open a route to (none: wait to be reached)
local role = os.getenv("RAKNET_ROLE") or ""
local port = tonumber(os.getenv("RAKNET_PORT") or "0")
local seconds = tonumber(os.getenv("RAKNET_SECONDS") or "10")
local LOOPBACK = "127.0.0.1"
local BIG = 5000

local function say(format, ...) print(string.format(format, ...)) end

local r = raknet.create()
local started, finishAt
local roles = {}

local function finish(after) finishAt = finishAt or kelvo.getSeconds() + (after or 0) end

-- The 5,000-byte packet: id 141, then bytes of a fixed pattern.
local function sendBig(guid)
    r:createPacket(141)
    for i = 1, BIG - 1 do r:writeByte((i * 31 + 7) % 256) end
    return r:send(guid, 1, 3)
end

local function readBig(length)
    local ok = length == BIG
    for i = 1, length - 1 do
        if r:readByte() ~= (i * 31 + 7) % 256 then ok = false end
    end
    return ok and r:readByte() == nil
end

-- Pellora pings jsp-raknet's server, then connects to it: a user packet and
-- a split one. (jsp-raknet takes a ping from a connected address for part of
-- its connection, so the ping comes first.)
roles.jsp_client = {
    init = function(self)
        self.pings = 0
    end,
    [28] = function(self)
        local time = r:readTime()
        say("PONG %s time=%s", r:readString(), tostring(time ~= nil))
        self.pong = true
        local ok, err = r:connect(LOOPBACK, port)
        say("CONNECT %s %s", tostring(ok), err)
    end,
    [16] = function(self, guid)
        say("ACCEPTED %s", r:getPacketSenderAddress())
        r:createPacket(140)
        r:writeString("hello jsp")
        r:writeInt(-7)
        say("SENT %s", tostring(r:send(guid) ~= nil))
        sendBig(guid)
    end,
    [140] = function(self, guid, length)
        say("ECHO 140 %s %d length=%d", r:readString(), r:readInt(), length)
        self.small = true
    end,
    [141] = function(self, guid, length)
        say("ECHO 141 length=%d intact=%s", length, tostring(readBig(length)))
        self.big = true
    end,
    step = function(self, now)
        -- Unconnected pings may be lost: a few, half a second apart.
        if not self.pong and self.pings < 10 and now >= (self.nextPing or 0) then
            r:sendPing(LOOPBACK, port, false)
            self.pings, self.nextPing = self.pings + 1, now + 0.5
        end
        if self.pong and self.small and self.big then say("DONE"); finish() end
    end,
}

-- jsp-raknet's client connects to Pellora: echo what it sends.
roles.jsp_host = {
    init = function()
        r:setUnconnectedPingResponse("pellora pong")
        local ok, err = r:host(port, 8)
        say("HOSTING %s %s", tostring(ok), err)
    end,
    [19] = function(self, guid) say("INCOMING %s", r:getPacketSenderAddress()) end,
    user = function(self, id, guid, length)
        local bytes = {}
        for i = 1, length - 1 do bytes[i] = r:readByte() end
        r:createPacket(id)
        for i = 1, #bytes do r:writeByte(bytes[i]) end
        say("ECHOED %d length=%d", id, length)
        r:send(guid)
        self.echoed = (self.echoed or 0) + 1
        if self.echoed == 2 then finish(0.5) end
    end,
}

-- Two runtimes: every field type, a timestamped packet, a broadcast with an
-- exclusion, pings, and a disconnection seen by the host.
roles.fields_host = {
    init = function(self)
        local ok, err = r:host(port, 4)
        say("HOSTING %s %s", tostring(ok), err)
        self.clients = {}
    end,
    [19] = function(self, guid)
        self.clients[#self.clients + 1] = guid
        say("INCOMING %d", #self.clients)
    end,
    [150] = function(self, guid, length)
        self.writer = guid
        say("FIELDS length=%d from=%s", length, r:getPacketSenderAddress())
        say("bool %s byte %d short %d int %d float %s", tostring(r:readBoolean()), r:readByte(),
            r:readShort(), r:readInt(), tostring(r:readFloat()))
        say("shortFloat %.4f string %s", r:readShortFloat(-10, 10), r:readString())
        local wide = r:readShort()
        local units = {}
        for i = 1, wide do units[i] = r:readShort() end
        say("wide %d units %s", wide, table.concat(units, ","))
        say("address %s time %d guid %s", r:readSystemAddress(), r:readTime(),
            tostring(r:readGuid() == guid))
        say("last bool %s", tostring(r:readBoolean()))
        say("tail int %s short %s then %s", tostring(r:readInt()), tostring(r:readShort()),
            tostring(r:readByte()))
    end,
    [151] = function(self, guid, length, age)
        say("STAMPED length=%d age=%d bytes=%d,%d,%d", length, age, r:readByte(), r:readByte(),
            r:readByte())
    end,
    [21] = function(self, guid)
        say("DISCONNECTED writer=%s", tostring(guid == self.writer))
        finish(0.3)
    end,
    step = function(self, now)
        if #self.clients == 2 and self.writer and not self.broadcasted then
            self.broadcasted = now
            r:createPacket(152)
            r:writeString("to the other one")
            say("BROADCAST %s", tostring(r:broadcast(1, 3, self.writer) ~= nil))
        end
        if self.broadcasted and not self.pinged and now - self.broadcasted > 3 then
            self.pinged = true
            say("PING %d", r:getAveragePing(self.writer))
        end
    end,
}

local function fieldsClient(write)
    return {
        init = function()
            local ok, err = r:connect(LOOPBACK, port)
            say("CONNECT %s %s", tostring(ok), err)
        end,
        [16] = function(self, guid)
            self.host, self.since = guid, kelvo.getSeconds()
            say("ACCEPTED")
            if write then write(guid) end
        end,
        [152] = function(self, guid) say("GOT 152 %s", r:readString()) end,
        step = function(self, now)
            if write and self.since and not self.pinged and now - self.since > 3.5 then
                self.pinged = true
                say("PING %d", r:getAveragePing(self.host))
                -- Leaving: the instance goes with the game and tells the host.
                finish(0.2)
            end
        end,
    }
end

roles.fields_client = fieldsClient(function(guid)
    r:createPacket(150)
    r:writeBoolean(true)
    r:writeByte(200)
    r:writeShort(-12345)
    r:writeInt(-1234567890)
    r:writeFloat(1.5)
    r:writeShortFloat(2.5, -10, 10)
    r:writeString("h\195\169llo")
    r:writeWideString(WChar("w\195\169"))
    r:writeSystemAddress("127.1.2.3|4567")
    r:writeTime(123456789)
    r:writeGuid(r:getMyGuid())
    r:writeBoolean(false)
    r:writeShort(77)
    say("SENT FIELDS %s", tostring(r:send(guid, 0, 3) ~= nil))
    r:createPacket(151, true)
    r:writeByte(1)
    r:writeByte(2)
    r:writeByte(3)
    r:send(guid)
end)
roles.fields_other = fieldsClient(nil)
roles.fields_other.step = function(self) end

-- NAT punch-through: host on a free port, attach to the facilitator, and
-- either open a route to RAKNET_TARGET or wait to be reached.
roles.nat_peer = {
    init = function(self)
        local ok, err = r:host(0, 4)
        say("HOSTING %s %s", tostring(ok), err)
        ok, err = r:attachToNatPunchthrough(LOOPBACK, port)
        say("ATTACH %s %s", tostring(ok), err)
        self.target = os.getenv("RAKNET_TARGET")
    end,
    [16] = function(self, guid)
        say("FACILITATOR %s", r:getMyGuid())
        if self.target then
            r:openNat("12345", LOOPBACK, port)
            r:openNat(self.target, LOOPBACK, port)
        end
    end,
    [68] = function(self, guid) say("NOT_CONNECTED %s", guid) end,
    [73] = function(self, guid)
        say("SUCCEEDED %s requester=%d from=%s", tostring(guid == self.target or not self.target),
            r:readByte(), tostring(r:getPacketSenderAddress() ~= nil))
        finish(1)
    end,
    [72] = function(self, guid) say("FAILED %s", guid) end,
}

local self = roles[role]
if not self then
    say("no role %s", role)
    kelvo.exitGame()
end

hook.add("gameInit", function()
    started = kelvo.getSeconds()
    self:init()
end)

hook.add("frameUpdate", function()
    local now = kelvo.getSeconds()
    if finishAt and now >= finishAt or now - started > seconds then
        if not finishAt then say("TIMEOUT") end
        kelvo.exitGame()
        return
    end
    while true do
        local id, guid, length, age = r:nextPacket()
        if not id then break end
        local handle = self[id] or (id >= raknet.getBasePacketId() and self.user)
        if handle then
            if handle == self.user then handle(self, id, guid, length, age)
            else handle(self, guid, length, age) end
        elseif id < raknet.getBasePacketId() then
            say("PACKET %s", r:getPacketName(id))
        end
    end
    if self.step then self:step(now) end
end)
