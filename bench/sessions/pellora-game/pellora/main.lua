-- The session benchmark in Pellora: the exchange of common.lua over the
-- built-in session (BENCH_SESSION=kelvo, the default) or a net object
-- (BENCH_SESSION=net). The host's frames are paced in frameRender, the end
-- of the frame, as a display's vertical sync would pace them.
local B = dofile("common.lua")
local cfg = B.config()
local kind = os.getenv("BENCH_SESSION") or "kelvo"
local GAME = "sessionBench"
local bench, device, clientId
local retryAt

local transport = {quit = kelvo.exitGame}
if kind == "kelvo" then
    if cfg.role == "host" then
        function transport.send(k, values) kelvo.sendPacket(clientId, k, values) end
    else
        function transport.send(k, values) kelvo.sendPacket(1000, k, values) end
    end
else
    device = net.createDevice()
    if cfg.role == "host" then
        function transport.send(k, values) device:sendPacket(clientId, k, values) end
    else
        function transport.send(k, values) device:sendPacket(1000, k, values) end
    end
end
bench = B.new(cfg, transport)

local function start()
    if kind == "kelvo" then
        if cfg.role == "host" then
            kelvo.startHost(GAME, "host", cfg.port, 2)
        else
            kelvo.joinHost(GAME, "client", "127.0.0.1", cfg.port)
        end
    elseif cfg.role == "host" then
        device:startHost(GAME, "host", cfg.port, 2)
    else
        device:joinHost(GAME, "client", "127.0.0.1", cfg.port)
    end
end

local function hostGot(_, id)
    clientId = id
    bench.connected()
end
local function failed() retryAt = B.now() + 0.2 end

if kind == "kelvo" then
    hook.add("clientConnected", hostGot)
    hook.add("connectSucceeded", bench.connected)
    hook.add("connectFailed", failed)
    hook.add("packetReceived", bench.onPacket)
    hook.add("clientDisconnected", bench.peerLeft)
    hook.add("hostDisconnected", bench.peerLeft)
else
    device.onClientConnect = function(_, name, id) hostGot(name, id) end
    device.onConnect = function() bench.connected() end
    device.onFail = failed
    device.onPacket = function(_, k, values) bench.onPacket(k, values) end
    device.onClientDisconnect = function() bench.peerLeft() end
    device.onDisconnect = function() bench.peerLeft() end
end

hook.add("gameInit", function()
    start()
    if cfg.role == "host" then B.report("ready") end
end)
hook.add("frameUpdate", function()
    if retryAt and B.now() >= retryAt then
        retryAt = nil
        start()
    end
    bench.frame()
end)
hook.add("frameRender", function() bench.pace() end)
