-- Binding calls for LOVE 11: the loops of pellora-game/pellora/main.lua,
-- call for call, with this runtime's functions. Same output lines, same
-- environment variables; one more draw loop, "rect_color", sets the colour
-- before each rectangle, as Pellora's renderRectangle takes it with each.
local CALLS = tonumber(os.getenv("CALLS") or "1000000")
local DRAWS = tonumber(os.getenv("DRAWS") or "10000")
local SMALL_DRAWS = tonumber(os.getenv("SMALL_DRAWS") or "1000")
local FRAMES = tonumber(os.getenv("FRAMES") or "100")
local WARMUP = tonumber(os.getenv("WARMUP") or "20")
local STEPS = tonumber(os.getenv("STEPS") or "120")
local IMAGE = "dot.png"

local threadCpu = os.clock
do
    local ok, ffi = pcall(require, "ffi")
    if ok then
        ffi.cdef [[
            typedef struct { long sec; long nsec; } bench_timespec;
            int clock_gettime(int clock, bench_timespec* out);
        ]]
        local now = ffi.new("bench_timespec")
        local CLOCK_THREAD_CPUTIME_ID = 3
        threadCpu = function()
            ffi.C.clock_gettime(CLOCK_THREAD_CPUTIME_ID, now)
            return tonumber(now.sec) + tonumber(now.nsec) * 1e-9
        end
    end
end

local function report(format, ...)
    io.write("result " .. string.format(format, ...) .. "\n")
    io.stdout:flush()
end

local function perCall(name, seconds, baseline, calls)
    report("loop=%s ns_per_call=%.3f calls=%d", name, (seconds - baseline) * 1e9 / calls, calls)
end

-- ------------------------------------------------------------------ physics

local function boxPosition(i)
    local row = math.floor(i / 25)
    return -24 + 2 * (i % 25) + 0.1 * (row % 2), -2 - 1.2 * row
end

local function physicsLoops()
    -- One unit is one metre, as in Pellora's world.
    love.physics.setMeter(1)
    local w = love.physics.newWorld(0, 10, true)
    local ground = love.physics.newBody(w, 0, 0.5, "static")
    love.physics.newFixture(ground, love.physics.newRectangleShape(60, 1))
    local bodies, startY = {}, {}
    for i = 0, 999 do
        local x, y = boxPosition(i)
        local b = love.physics.newBody(w, x, y, "dynamic")
        love.physics.newFixture(b, love.physics.newRectangleShape(1, 1), 1)
        bodies[#bodies + 1] = b
        startY[#startY + 1] = y
    end
    for _ = 1, 30 do w:update(1 / 60, 10, 10) end

    local n = #bodies
    local rounds = math.max(1, math.floor(CALLS / n))
    local t0 = threadCpu()
    for _ = 1, rounds do
        for i = 1, n do local b = bodies[i] end
    end
    local t1 = threadCpu()
    for _ = 1, rounds do
        for i = 1, n do local x, y = bodies[i]:getPosition() end
    end
    local t2 = threadCpu()
    perCall("physics_read", t2 - t1, t1 - t0, rounds * n)

    local moved, awake = 0, 0
    for i = 1, n do
        local _, y = bodies[i]:getPosition()
        if y ~= startY[i] then moved = moved + 1 end
        if bodies[i]:isAwake() then awake = awake + 1 end
    end
    report("loop=physics_scene bodies=%d moved=%d awake=%d", n, moved, awake)

    local total = 0
    for _ = 1, STEPS do
        local s = threadCpu()
        w:update(1 / 60, 10, 10)
        total = total + threadCpu() - s
    end
    report("loop=physics_step ms_per_step=%.4f steps=%d", total * 1000 / STEPS, STEPS)
end

-- ------------------------------------------------------------------ input, timer

local function inputLoops()
    local n = CALLS
    local isDown, getPosition, getTime = love.keyboard.isDown, love.mouse.getPosition, love.timer.getTime

    local t0 = threadCpu()
    for _ = 1, n do end
    local baseline = threadCpu() - t0

    t0 = threadCpu()
    for _ = 1, n do local down = isDown("a") end
    perCall("key", threadCpu() - t0, baseline, n)

    t0 = threadCpu()
    for _ = 1, n do local x, y = getPosition() end
    perCall("mouse", threadCpu() - t0, baseline, n)

    t0 = threadCpu()
    for _ = 1, n do local s = getTime() end
    perCall("time", threadCpu() - t0, baseline, n)
end

-- ------------------------------------------------------------------ drawing

local phase, phaseFrame = 1, 0
local spent, baseline = 0, 0
local image

local R, G, B = 200 / 255, 120 / 255, 40 / 255

local function drawRectangles(count)
    local rectangle = love.graphics.rectangle
    love.graphics.setColor(R, G, B, 1)
    local t0 = threadCpu()
    for i = 1, count do local x, y = i % 797, i % 593 end
    local t1 = threadCpu()
    for i = 1, count do rectangle("fill", i % 797, i % 593, 4, 4) end
    return t1 - t0, threadCpu() - t1
end

local function drawColouredRectangles(count)
    local rectangle, setColor = love.graphics.rectangle, love.graphics.setColor
    local t0 = threadCpu()
    for i = 1, count do local x, y = i % 797, i % 593 end
    local t1 = threadCpu()
    for i = 1, count do
        setColor(R, G, B, 1)
        rectangle("fill", i % 797, i % 593, 4, 4)
    end
    return t1 - t0, threadCpu() - t1
end

local function drawTextures(count)
    local draw, img = love.graphics.draw, image
    love.graphics.setColor(1, 1, 1, 1)
    local t0 = threadCpu()
    for i = 1, count do local x, y = i % 797, i % 593 end
    local t1 = threadCpu()
    for i = 1, count do draw(img, i % 797, i % 593) end
    return t1 - t0, threadCpu() - t1
end

local function drawNothing() return 0, 0 end

-- The "frame_" phases time whole frames instead (from one draw callback to
-- the next: the calls, the batch's draws, the end of the frame), so a runtime
-- that draws its batch after the callback pays for it too.
local phases = {
    {name = "rect", draw = drawRectangles, count = DRAWS},
    {name = "rect_small", draw = drawRectangles, count = SMALL_DRAWS},
    {name = "rect_color", draw = drawColouredRectangles, count = DRAWS},
    {name = "rect_color_small", draw = drawColouredRectangles, count = SMALL_DRAWS},
    {name = "texture", draw = drawTextures, count = DRAWS},
    {name = "texture_small", draw = drawTextures, count = SMALL_DRAWS},
    {name = "frame_empty", draw = drawNothing, count = DRAWS, whole = true},
    {name = "frame_rect", draw = drawRectangles, count = DRAWS, whole = true},
    {name = "frame_texture", draw = drawTextures, count = DRAWS, whole = true},
}

local frame = 0
local finished = false
local lastFrame = 0

function love.load()
    image = love.graphics.newImage(IMAGE)
end

function love.update()
    frame = frame + 1
    if frame == 3 then
        physicsLoops()
        inputLoops()
    end
end

function love.draw()
    if frame < 3 or finished then return end
    local current = phases[phase]
    if not current then
        io.write("done\n")
        io.stdout:flush()
        finished = true
        love.event.quit()
        return
    end
    local now = threadCpu()
    local frames = math.max(1, math.floor(DRAWS * FRAMES / current.count))
    phaseFrame = phaseFrame + 1
    if current.whole then
        -- The frame that ended here was this phase's when it was not the first.
        if phaseFrame > WARMUP + 1 then spent = spent + now - lastFrame end
        lastFrame = now
        current.draw(current.count)
        if phaseFrame == WARMUP + 1 + frames then
            report("loop=%s us_per_frame=%.3f frames=%d", current.name, spent * 1e6 / frames, frames)
            phase, phaseFrame, spent, baseline = phase + 1, 0, 0, 0
        end
        return
    end
    local base, calls = current.draw(current.count)
    if phaseFrame > WARMUP then
        baseline = baseline + base
        spent = spent + calls
    end
    if phaseFrame == WARMUP + frames then
        perCall(current.name, spent, baseline, current.count * frames)
        phase, phaseFrame, spent, baseline = phase + 1, 0, 0, 0
    end
end
