-- Particles benchmark for Pellora: PARTICLES live particles of the package
-- effects.par (one 8 x 8 dot, see ../effects.txt), spawned over an area of
-- 600 x 400 around the middle of the window and topped up every frame as
-- they die, updated and drawn with one call each. After WARMUP frames,
-- FRAMES frames are measured; one line is printed:
--   result frames=<n> particles=<n> ms_per_frame=<wall> cpu_ms_per_frame=<main thread> live=<mean>
local N = tonumber(os.getenv("PARTICLES") or "10000")
local WARMUP = tonumber(os.getenv("WARMUP") or "60")
local FRAMES = tonumber(os.getenv("FRAMES") or "300")

-- User plus system time of the calling thread, in seconds.
local function threadCpu()
    local f = io.open("/proc/thread-self/stat", "r")
    if not f then return os.clock() end
    local line = f:read("*l")
    f:close()
    local fields = {}
    for word in line:match("%) (.*)$"):gmatch("%S+") do fields[#fields + 1] = word end
    return (tonumber(fields[12]) + tonumber(fields[13])) / 100
end

local fx
local frame, liveSum = 0, 0
local startWall, startCpu

local function topUp()
    local spawn, random = particles.spawn, math.random
    for _ = particles.getCount() + 1, N do
        spawn(fx, "dot", 100 + random() * 600, 100 + random() * 400)
    end
end

hook.add("gameInit", function()
    math.randomseed(1)
    fx = particles.load("effects.par", "dot.spr")
    if not fx then print("no particle package") end
    topUp()
end)

hook.add("frameUpdate", function(dt)
    particles.update(dt)
    topUp()
end)

hook.add("frameRender", function()
    frame = frame + 1
    if frame == 1 then io.write("first frame\n"); io.stdout:flush() end
    if frame == WARMUP + 1 then
        startWall, startCpu = kelvo.getSeconds(), threadCpu()
    elseif frame == WARMUP + FRAMES + 1 then
        local wall, cpu = kelvo.getSeconds() - startWall, threadCpu() - startCpu
        print(string.format("result frames=%d particles=%d ms_per_frame=%.3f cpu_ms_per_frame=%.3f live=%.0f",
            FRAMES, N, wall * 1000 / FRAMES, cpu * 1000 / FRAMES, liveSum / FRAMES))
        kelvo.exitGame()
    end
    if frame > WARMUP then liveSum = liveSum + particles.getCount() end
    particles.render()
end)
