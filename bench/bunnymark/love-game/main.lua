-- The same bunnymark for the other runtime: MODE=draw draws each sprite,
-- MODE=batch goes through a SpriteBatch, MODE=empty runs empty callbacks.
local N = tonumber(os.getenv("BUNNIES") or "1000")
local MODE = os.getenv("MODE") or "draw"
local WARMUP = tonumber(os.getenv("WARMUP") or "60")
local FRAMES = tonumber(os.getenv("FRAMES") or "300")
local IMAGE = os.getenv("BUNNY_IMAGE") or "bunny32.png"

local function threadCpu()
    local f = io.open("/proc/thread-self/stat", "r")
    if not f then return os.clock() end
    local line = f:read("*l")
    f:close()
    local rest = line:match("%) (.*)$")
    local fields = {}
    for word in rest:gmatch("%S+") do fields[#fields + 1] = word end
    return (tonumber(fields[12]) + tonumber(fields[13])) / 100
end

local image, batch
local size = IMAGE:find("32") and 32 or 1
local xs, ys, vxs, vys = {}, {}, {}, {}
local frame = 0
local startWall, startCpu

function love.load()
    image = love.graphics.newImage(IMAGE)
    if MODE == "batch" then batch = love.graphics.newSpriteBatch(image, N, "stream") end
    math.randomseed(1)
    for i = 1, N do
        xs[i] = math.random() * (800 - size)
        ys[i] = math.random() * (600 - size)
        vxs[i] = (math.random() - 0.5) * 400
        vys[i] = (math.random() - 0.5) * 400
    end
end

function love.update(dt)
    if MODE == "empty" then return end
    local maxX, maxY = 800 - size, 600 - size
    for i = 1, N do
        local x, y = xs[i] + vxs[i] * dt, ys[i] + vys[i] * dt
        if x < 0 then x = 0; vxs[i] = -vxs[i] elseif x > maxX then x = maxX; vxs[i] = -vxs[i] end
        if y < 0 then y = 0; vys[i] = -vys[i] elseif y > maxY then y = maxY; vys[i] = -vys[i] end
        xs[i], ys[i] = x, y
    end
end

function love.draw()
    frame = frame + 1
    if frame == 1 then print("first frame"); io.stdout:flush() end
    if frame == WARMUP + 1 then
        startWall, startCpu = love.timer.getTime(), threadCpu()
    elseif frame == WARMUP + FRAMES + 1 then
        local wall, cpu = love.timer.getTime() - startWall, threadCpu() - startCpu
        print(string.format("result frames=%d bunnies=%d ms_per_frame=%.3f cpu_ms_per_frame=%.3f",
            FRAMES, N, wall * 1000 / FRAMES, cpu * 1000 / FRAMES))
        io.stdout:flush()
        love.event.quit()
    end
    if MODE == "empty" then return end
    if MODE == "batch" then
        batch:clear()
        for i = 1, N do batch:add(xs[i], ys[i]) end
        love.graphics.draw(batch)
    else
        local draw = love.graphics.draw
        for i = 1, N do draw(image, xs[i], ys[i]) end
    end
end
