-- The LOVE end of the raknet benchmark, the same exchanges as the Pellora
-- end (see pellora-game) over ENet: LOVE's own loop sleeps a millisecond a
-- frame; ENet is serviced once per frame. Reliable packets on channel 0 are
-- ENet's reliable ordered ones.
local enet = require("enet")

local role = os.getenv("BENCH_ROLE")
local mode = os.getenv("BENCH_MODE")
local port = tonumber(os.getenv("BENCH_PORT"))
local seconds = tonumber(os.getenv("BENCH_SECONDS") or "5")
local SIZE, WINDOW, CREDIT, WARMUP = 1000, 512 * 1024, 64 * 1024, 1.0
local payload = "D" .. string.rep("x", SIZE - 1)

local host, server
local sent, confirmed, received, credited = 0, 0, 0, 0
local startAt, firstData, lastData, counted, rtts, pingSent, done = nil, nil, nil, 0, {}, nil, false
local now = love.timer.getTime

local function say(format, ...) print(string.format(format, ...)); io.stdout:flush() end

local function ping()
    server:send("P" .. #rtts, 0, "reliable")
    pingSent = now()
end

local function report()
    table.sort(rtts)
    local sum = 0
    for _, v in ipairs(rtts) do sum = sum + v end
    local function at(q) return rtts[math.max(1, math.ceil(q * #rtts))] * 1000 end
    say("result latency trips=%d mean_ms=%.3f p50_ms=%.3f p99_ms=%.3f max_ms=%.3f", #rtts,
        sum / #rtts * 1000, at(0.5), at(0.99), rtts[#rtts] * 1000)
    done = true
end

function love.load()
    if role == "server" then
        host = enet.host_create("127.0.0.1:" .. port)
        say("HOSTING %s", tostring(host ~= nil))
    else
        host = enet.host_create()
        server = host:connect("127.0.0.1:" .. port)
        say("CONNECT true")
    end
end

function love.update()
    local event = host:service(0)
    while event do
        if event.type == "connect" and role == "client" then
            startAt = now()
            if mode == "latency" then ping() end
        elseif event.type == "receive" then
            local kind = event.data:sub(1, 1)
            if kind == "D" then
                received = received + #event.data
                if received - credited >= CREDIT then
                    credited = received
                    event.peer:send("C" .. received, 0, "reliable")
                end
                local t = now()
                firstData = firstData or t
                if t >= firstData + WARMUP then counted, lastData = counted + #event.data, t end
            elseif kind == "C" then
                confirmed = tonumber(event.data:sub(2))
            elseif kind == "P" then
                if role == "server" then
                    event.peer:send(event.data, 0, "reliable")
                else
                    rtts[#rtts + 1] = now() - pingSent
                    if now() - startAt < seconds then ping() else report() end
                end
            end
        elseif event.type == "disconnect" then
            if role == "server" and lastData then
                local span = lastData - (firstData + WARMUP)
                say("result throughput bytes=%d seconds=%.3f mbytes_per_s=%.3f", counted, span,
                    counted / span / 1e6)
            end
            done = true
        end
        event = host:service(0)
    end
    if role == "client" and startAt and mode == "throughput" and not done then
        if now() - startAt >= seconds + WARMUP then
            done = true
        else
            while sent - confirmed < WINDOW do
                server:send(payload, 0, "reliable")
                sent = sent + SIZE
            end
        end
    end
    host:flush()
    if done then
        if role == "client" then
            server:disconnect()
            host:flush()
            -- Give the notice a moment to leave.
            for _ = 1, 50 do host:service(2) end
        end
        love.event.quit()
    end
end
