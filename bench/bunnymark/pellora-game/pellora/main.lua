-- Bunnymark for Pellora: BUNNIES sprites bounce around an 800 x 600 window.
-- MODE=sprites draws sprite states of a package (bunny32.spr or bunny1.spr),
-- MODE=texture draws the image file by name with render2dTexture, and
-- MODE=empty runs empty callbacks (the bare loop). After a warm-up of
-- WARMUP frames, FRAMES frames are measured; one line is printed:
--   result frames=<n> bunnies=<n> ms_per_frame=<wall> cpu_ms_per_frame=<main thread>
local N = tonumber(os.getenv("BUNNIES") or "1000")
local MODE = os.getenv("MODE") or "sprites"
local WARMUP = tonumber(os.getenv("WARMUP") or "60")
local FRAMES = tonumber(os.getenv("FRAMES") or "300")
local IMAGE = os.getenv("BUNNY_IMAGE") or "bunny32.tga"

-- User plus system time of the calling thread, in seconds.
local function threadCpu()
    local f = io.open("/proc/thread-self/stat", "r")
    if not f then return os.clock() end
    local line = f:read("*l")
    f:close()
    local rest = line:match("%) (.*)$")
    local fields = {}
    for word in rest:gmatch("%S+") do fields[#fields + 1] = word end
    -- utime and stime are fields 14 and 15 of the whole line, 12 and 13 after ")".
    return (tonumber(fields[12]) + tonumber(fields[13])) / 100
end

local texture = "$GAME_RESOURCES$/pellora/" .. IMAGE
local package = IMAGE:gsub("%.%a+$", ".spr")
local size = IMAGE:find("32") and 32 or 1
local sprite = -1
local xs, ys, vxs, vys = {}, {}, {}, {}
math.randomseed(1)
for i = 1, N do
    xs[i] = math.random() * (800 - size)
    ys[i] = math.random() * (600 - size)
    vxs[i] = (math.random() - 0.5) * 400
    vys[i] = (math.random() - 0.5) * 400
end

local frame = 0
local startWall, startCpu

local function update(dt)
    if MODE == "empty" then return end
    local maxX, maxY = 800 - size, 600 - size
    for i = 1, N do
        local x, y = xs[i] + vxs[i] * dt, ys[i] + vys[i] * dt
        if x < 0 then x = 0; vxs[i] = -vxs[i] elseif x > maxX then x = maxX; vxs[i] = -vxs[i] end
        if y < 0 then y = 0; vys[i] = -vys[i] elseif y > maxY then y = maxY; vys[i] = -vys[i] end
        xs[i], ys[i] = x, y
    end
end

local function render()
    frame = frame + 1
    -- Straight to standard output: a line on the on-screen console would be
    -- drawn every frame, which the other game does not do.
    if frame == 1 then io.write("first frame\n"); io.stdout:flush() end
    if frame == WARMUP + 1 then
        startWall, startCpu = kelvo.getSeconds(), threadCpu()
    elseif frame == WARMUP + FRAMES + 1 then
        local wall, cpu = kelvo.getSeconds() - startWall, threadCpu() - startCpu
        print(string.format("result frames=%d bunnies=%d ms_per_frame=%.3f cpu_ms_per_frame=%.3f",
            FRAMES, N, wall * 1000 / FRAMES, cpu * 1000 / FRAMES))
        kelvo.exitGame()
    end
    if MODE == "empty" then return end
    if MODE == "sprites" then
        local draw = video.renderSpriteState
        for i = 1, N do
            draw(sprite, xs[i], ys[i])
        end
    else
        local draw = video.render2dTexture
        for i = 1, N do
            draw(texture, xs[i], ys[i], size, size)
        end
    end
end

hook.add("gameInit", function()
    if MODE == "sprites" then
        sprite = video.createSpriteState("bunny", package)
        if sprite < 0 then print("no sprite package " .. package) end
    end
end)

hook.add("frameUpdate", update)
hook.add("frameRender", render)
