-- The Pellora end of the raknet benchmark (bench/raknet/run.py runs it).
--   BENCH_ROLE     server | client
--   BENCH_MODE     throughput | latency
--   BENCH_PORT     server: the port to host on; client: the port to connect to
--   BENCH_SECONDS  how long the client measures
-- Like a game that sleeps a millisecond a frame, it takes its packets and
-- sends once per frame. Throughput: the client sends 1,000-byte reliable
-- ordered packets, keeping at most WINDOW bytes beyond what the server has
-- confirmed (it confirms every CREDIT bytes); the server counts bytes.
-- Latency: one 8-byte packet goes back and forth, reliable ordered; the
-- client times each round trip.
local ffi = require("ffi")
ffi.cdef [[int usleep(unsigned int usec);]]

local role = os.getenv("BENCH_ROLE")
local mode = os.getenv("BENCH_MODE")
local port = tonumber(os.getenv("BENCH_PORT"))
local seconds = tonumber(os.getenv("BENCH_SECONDS") or "5")
local SIZE, WINDOW, CREDIT, WARMUP = 1000, 512 * 1024, 64 * 1024, 1.0
local DATA, CONFIRM, PING = 140, 141, 142
local payload = string.rep("x", SIZE - 3)   -- id and the string's length make 1,000

local peer = raknet.create()
local now = kelvo.getSeconds
local server, sent, confirmed, received, credited = nil, 0, 0, 0, 0
local startAt, firstData, lastData, counted, rtts, pingSent, done = nil, nil, nil, 0, {}, nil, false

local function say(format, ...) print(string.format(format, ...)) end

local function confirm(to)
    peer:createPacket(CONFIRM)
    peer:writeInt(received)
    peer:send(to, 0, 3)
end

local function ping()
    peer:createPacket(PING)
    peer:writeInt(#rtts)
    peer:writeInt(0)
    peer:send(server, 0, 3)
    pingSent = now()
end

local function report()
    if mode == "latency" then
        table.sort(rtts)
        local sum = 0
        for _, v in ipairs(rtts) do sum = sum + v end
        local function at(q) return rtts[math.max(1, math.ceil(q * #rtts))] * 1000 end
        say("result latency trips=%d mean_ms=%.3f p50_ms=%.3f p99_ms=%.3f max_ms=%.3f", #rtts,
            sum / #rtts * 1000, at(0.5), at(0.99), rtts[#rtts] * 1000)
    end
    done = true
end

hook.add("gameInit", function()
    if role == "server" then
        say("HOSTING %s", tostring(peer:host(port, 4)))
    else
        say("CONNECT %s", tostring(peer:connect("127.0.0.1", port)))
    end
end)

hook.add("frameUpdate", function()
    while true do
        local id, guid, length = peer:nextPacket()
        if not id then break end
        if id == 16 then
            server, startAt = guid, now()
            if mode == "latency" then ping() end
        elseif id == DATA then
            received = received + length
            if received - credited >= CREDIT then credited = received; confirm(guid) end
            local t = now()
            firstData = firstData or t
            if t >= firstData + WARMUP then counted, lastData = counted + length, t end
        elseif id == CONFIRM then
            confirmed = peer:readInt()
        elseif id == PING then
            if role == "server" then
                local n = peer:readInt()
                peer:createPacket(PING)
                peer:writeInt(n)
                peer:writeInt(0)
                peer:send(guid, 0, 3)
            else
                rtts[#rtts + 1] = now() - pingSent
                if now() - startAt < seconds then ping() else report() end
            end
        elseif id == 21 or id == 22 then
            if role == "server" and lastData then
                local span = lastData - (firstData + WARMUP)
                say("result throughput bytes=%d seconds=%.3f mbytes_per_s=%.3f", counted, span,
                    counted / span / 1e6)
            end
            done = true
        end
    end
    if role == "client" and server and mode == "throughput" and not done then
        if now() - startAt >= seconds + WARMUP then
            done = true
        else
            while sent - confirmed < WINDOW do
                peer:createPacket(DATA)
                peer:writeString(payload)
                peer:send(server, 0, 3)
                sent = sent + SIZE
            end
        end
    end
    if done then kelvo.exitGame() end
    ffi.C.usleep(1000)
end)
