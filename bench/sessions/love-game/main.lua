-- The session benchmark in LOVE 11: the exchange of common.lua over ENet
-- (BENCH_TRANSPORT=enet, reliable packets on channel 0) or LuaSocket TCP
-- (BENCH_TRANSPORT=tcp, each packet framed by a 16-bit length). Packets are
-- packed with love.data.pack and unpacked into a table, as Pellora hands a
-- script its values. The loop delivers what arrived, runs the frame, then
-- sleeps to the next 60th of a second (the host, and the latency client).
local B = require("common")
local cfg = B.config()
local transportName = os.getenv("BENCH_TRANSPORT") or "enet"
local FORMAT = "<Bi4i4i4i4ffBz"
local pack, unpack = love.data.pack, love.data.unpack
local bench

local function encode(kind, v)
    return pack("string", FORMAT, kind, v[1], v[2], v[3], v[4], v[5], v[6], v[7] and 1 or 0, v[8])
end

local function deliver(data, at)
    local kind, a, b, c, d, e, f, g, h, nextAt = unpack(FORMAT, data, at)
    bench.onPacket(kind, {a, b, c, d, e, f, g == 1, h})
    return nextAt
end

-- ENet: a host, and a peer on each side.
local function enetTransport()
    local enet = require("enet")
    local host, peer
    if cfg.role == "host" then
        host = enet.host_create("127.0.0.1:" .. cfg.port)
    else
        host = enet.host_create()
        host:connect("127.0.0.1:" .. cfg.port)
    end
    local t = {}
    function t.send(kind, v)
        if peer then peer:send(encode(kind, v), 0, "reliable") end
    end
    function t.receive()
        local event = host:service(0)
        while event do
            if event.type == "connect" then
                peer = event.peer
                bench.connected()
            elseif event.type == "receive" then
                deliver(event.data, 1)
            elseif event.type == "disconnect" then
                peer = nil
                bench.peerLeft()
            end
            event = host:service(0)
        end
    end
    -- Sends now what the frame queued, not at the next service.
    function t.flush() host:flush() end
    function t.close()
        if peer then peer:disconnect_now() end
        host:flush()
    end
    return t
end

-- LuaSocket TCP: non-blocking, a length before each packet.
local function tcpTransport()
    local socket = require("socket")
    local server, conn
    local buffer, at = "", 1
    if cfg.role == "host" then
        server = assert(socket.bind("127.0.0.1", cfg.port))
        server:settimeout(0)
    end
    local t = {}
    local function connected(c)
        conn = c
        conn:setoption("tcp-nodelay", true)
        conn:settimeout(0)
        bench.connected()
    end
    function t.send(kind, v)
        if not conn then return end
        local data = encode(kind, v)
        local framed = pack("string", "<s2", data)
        -- A sender that outruns the receiver waits here, as a blocking send does.
        local from = 1
        while from <= #framed do
            local last, err, partial = conn:send(framed, from)
            local upTo = last or partial
            if err == "closed" then return end
            if upTo and upTo >= from then from = upTo + 1 else socket.select(nil, {conn}, 1) end
        end
    end
    function t.receive()
        if not conn then
            if server then
                local c = server:accept()
                if c then connected(c) end
            else
                local c = socket.tcp()
                if c:connect("127.0.0.1", cfg.port) then connected(c) else c:close() end
            end
            return
        end
        while true do
            local data, err, partial = conn:receive(65536)
            local chunk = data or partial
            if chunk and #chunk > 0 then buffer = buffer:sub(at) .. chunk; at = 1 end
            if err == "closed" then
                conn = nil
                bench.peerLeft()
                break
            end
            if not data then break end
        end
        while #buffer - at + 1 >= 2 do
            local length = unpack("<I2", buffer, at)
            if #buffer - at + 1 < 2 + length then break end
            deliver(buffer, at + 2)
            at = at + 2 + length
        end
    end
    function t.flush() end
    function t.close()
        if conn then conn:close() end
        if server then server:close() end
    end
    return t
end

local net = transportName == "tcp" and tcpTransport() or enetTransport()
local running = true
bench = B.new(cfg, {send = net.send, quit = function() running = false end})

function love.run()
    if cfg.role == "host" then B.report("ready") end
    return function()
        love.event.pump()
        for name in love.event.poll() do
            if name == "quit" then return 0 end
        end
        net.receive()
        bench.frame()
        net.flush()
        if not running then
            net.close()
            return 0
        end
        bench.pace()
    end
end
