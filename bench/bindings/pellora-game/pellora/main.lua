-- Binding calls for Pellora: what one call from a script into the runtime
-- costs. love-game/main.lua runs the same loops in the other runtime.
--
-- Each loop is timed on the main thread's CPU clock, and an empty loop of
-- the same shape is timed the same way and subtracted. One line per loop
-- goes to standard output:
--   result loop=<name> ns_per_call=<n> calls=<n>
--   result loop=physics_step ms_per_step=<n> steps=<n>
--   result loop=physics_scene bodies=<n> moved=<n> awake=<n>
-- then "done", and the game exits.
--
-- CALLS calls per loop outside drawing (default 1,000,000); DRAWS calls per
-- frame in the draw loops (10,000), over FRAMES measured frames (100) after
-- WARMUP frames (20), and again SMALL_DRAWS a frame (1,000) over as many
-- frames as make the same number of calls; STEPS timed physics steps (120).
local CALLS = tonumber(os.getenv("CALLS") or "1000000")
local DRAWS = tonumber(os.getenv("DRAWS") or "10000")
local SMALL_DRAWS = tonumber(os.getenv("SMALL_DRAWS") or "1000")
local FRAMES = tonumber(os.getenv("FRAMES") or "100")
local WARMUP = tonumber(os.getenv("WARMUP") or "20")
local STEPS = tonumber(os.getenv("STEPS") or "120")
local IMAGE = "$GAME_RESOURCES$/pellora/dot.tga"

-- The calling thread's CPU time in seconds, in nanoseconds' resolution.
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

-- Straight to standard output: print would also put the line on the
-- on-screen console, which is drawn every frame.
local function report(format, ...)
    io.write("result " .. string.format(format, ...) .. "\n")
    io.stdout:flush()
end

local function perCall(name, seconds, baseline, calls)
    report("loop=%s ns_per_call=%.3f calls=%d", name, (seconds - baseline) * 1e9 / calls, calls)
end

-- ------------------------------------------------------------------ physics

-- Box i: 25 columns, 40 rows, a little staggered, above a 60 x 1 ground.
local function boxPosition(i)
    local row = math.floor(i / 25)
    return -24 + 2 * (i % 25) + 0.1 * (row % 2), -2 - 1.2 * row
end

local function physicsLoops()
    local w = Physics(-1000, -1000, 1000, 1000, 0, 10)
    local ground = w:createEntity({}, 0, 0.5)
    w:addBoxShape(ground, {width = 60, height = 1})
    local ids, startY = {}, {}
    for i = 0, 999 do
        local x, y = boxPosition(i)
        local e = w:createEntity({}, x, y)
        w:addBoxShape(e, {width = 1, height = 1, density = 1})
        w:activateEntity(e)
        ids[#ids + 1] = e
        startY[#startY + 1] = y
    end
    for _ = 1, 30 do w:update(1 / 60, 10) end

    local n = #ids
    local rounds = math.max(1, math.floor(CALLS / n))
    local t0 = threadCpu()
    for _ = 1, rounds do
        for i = 1, n do local id = ids[i] end
    end
    local t1 = threadCpu()
    for _ = 1, rounds do
        for i = 1, n do local x, y = w:getEntityPosition(ids[i]) end
    end
    local t2 = threadCpu()
    perCall("physics_read", t2 - t1, t1 - t0, rounds * n)

    local moved, awake = 0, 0
    for i = 1, n do
        local _, y = w:getEntityPosition(ids[i])
        if y ~= startY[i] then moved = moved + 1 end
        if not w:isEntitySleeping(ids[i]) then awake = awake + 1 end
    end
    report("loop=physics_scene bodies=%d moved=%d awake=%d", n, moved, awake)

    local total = 0
    for _ = 1, STEPS do
        local s = threadCpu()
        w:update(1 / 60, 10)
        total = total + threadCpu() - s
    end
    report("loop=physics_step ms_per_step=%.4f steps=%d", total * 1000 / STEPS, STEPS)
end

-- ------------------------------------------------------------------ kelvo

local function inputLoops()
    local n = CALLS
    local isKeyPressed, getMousePosition, getSeconds =
        kelvo.isKeyPressed, kelvo.getMousePosition, kelvo.getSeconds

    local t0 = threadCpu()
    for _ = 1, n do end
    local baseline = threadCpu() - t0

    t0 = threadCpu()
    for _ = 1, n do local down = isKeyPressed(0x41) end
    perCall("key", threadCpu() - t0, baseline, n)

    t0 = threadCpu()
    for _ = 1, n do local x, y = getMousePosition() end
    perCall("mouse", threadCpu() - t0, baseline, n)

    t0 = threadCpu()
    for _ = 1, n do local s = getSeconds() end
    perCall("time", threadCpu() - t0, baseline, n)
end

-- ------------------------------------------------------------------ drawing

-- The draw loops run one after the other, each for WARMUP frames and then
-- the frames that make DRAWS * FRAMES calls; the frame's own cost (the flush
-- at its end, the swap) is outside the timing. With DRAWS calls a frame the
-- 2D batch fills and is drawn inside the loop; with SMALL_DRAWS it is not.
local phase, phaseFrame = 1, 0
local spent, baseline = 0, 0

local function drawRectangles(count)
    local renderRectangle = video.renderRectangle
    local t0 = threadCpu()
    for i = 1, count do local x, y = i % 797, i % 593 end
    local t1 = threadCpu()
    for i = 1, count do renderRectangle(i % 797, i % 593, 4, 4, 255, 200, 120, 40) end
    return t1 - t0, threadCpu() - t1
end

local function drawTextures(count)
    local render2dTexture, image = video.render2dTexture, IMAGE
    local t0 = threadCpu()
    for i = 1, count do local x, y = i % 797, i % 593 end
    local t1 = threadCpu()
    for i = 1, count do render2dTexture(image, i % 797, i % 593, 4, 4) end
    return t1 - t0, threadCpu() - t1
end

local function drawNothing() return 0, 0 end

-- The "frame_" phases time whole frames instead (from one render callback to
-- the next: the calls, the batch's draws, the end of the frame), so a runtime
-- that draws its batch after the callback pays for it too.
local phases = {
    {name = "rect", draw = drawRectangles, count = DRAWS},
    {name = "rect_small", draw = drawRectangles, count = SMALL_DRAWS},
    {name = "texture", draw = drawTextures, count = DRAWS},
    {name = "texture_small", draw = drawTextures, count = SMALL_DRAWS},
    {name = "frame_empty", draw = drawNothing, count = DRAWS, whole = true},
    {name = "frame_rect", draw = drawRectangles, count = DRAWS, whole = true},
    {name = "frame_texture", draw = drawTextures, count = DRAWS, whole = true},
}

local frame = 0
local finished = false
local lastFrame = 0

hook.add("frameUpdate", function()
    frame = frame + 1
    -- A couple of frames first, so the window and input are up.
    if frame == 3 then
        physicsLoops()
        inputLoops()
    end
end)

hook.add("frameRender", function()
    if frame < 3 or finished then return end
    local current = phases[phase]
    if not current then
        io.write("done\n")
        io.stdout:flush()
        finished = true
        kelvo.exitGame()
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
end)
