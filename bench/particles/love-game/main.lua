-- The same particles for the other runtime: one ParticleSystem of PARTICLES
-- particles of the 8 x 8 dot, emitted over 600 x 400 around the middle of the
-- window at the rate that keeps it full, drifting in any direction at 30 to
-- 90 pixels a second, falling at 40, turning at 90 degrees a second,
-- shrinking to half and fading over 2 to 3 seconds.
local N = tonumber(os.getenv("PARTICLES") or "10000")
local WARMUP = tonumber(os.getenv("WARMUP") or "60")
local FRAMES = tonumber(os.getenv("FRAMES") or "300")

local function threadCpu()
    local f = io.open("/proc/thread-self/stat", "r")
    if not f then return os.clock() end
    local line = f:read("*l")
    f:close()
    local fields = {}
    for word in line:match("%) (.*)$"):gmatch("%S+") do fields[#fields + 1] = word end
    return (tonumber(fields[12]) + tonumber(fields[13])) / 100
end

local system
local frame, liveSum = 0, 0
local startWall, startCpu

function love.load()
    local image = love.graphics.newImage("dot.png")
    system = love.graphics.newParticleSystem(image, N)
    system:setParticleLifetime(2, 3)
    system:setEmissionRate(N / 2.5)
    system:setEmissionArea("uniform", 300, 200)
    system:setSpeed(30, 90)
    system:setSpread(2 * math.pi)
    system:setLinearAcceleration(0, 40, 0, 40)
    system:setColors(1, 1, 1, 1, 1, 1, 1, 0)
    system:setSizes(1, 0.5)
    system:setSpin(math.pi / 2, math.pi / 2)
    system:emit(N)
end

function love.update(dt)
    system:update(dt)
end

function love.draw()
    frame = frame + 1
    if frame == 1 then print("first frame"); io.stdout:flush() end
    if frame == WARMUP + 1 then
        startWall, startCpu = love.timer.getTime(), threadCpu()
    elseif frame == WARMUP + FRAMES + 1 then
        local wall, cpu = love.timer.getTime() - startWall, threadCpu() - startCpu
        print(string.format("result frames=%d particles=%d ms_per_frame=%.3f cpu_ms_per_frame=%.3f live=%.0f",
            FRAMES, N, wall * 1000 / FRAMES, cpu * 1000 / FRAMES, liveSum / FRAMES))
        io.stdout:flush()
        love.event.quit()
    end
    if frame > WARMUP then liveSum = liveSum + system:getCount() end
    love.graphics.draw(system, 400, 300)
end
