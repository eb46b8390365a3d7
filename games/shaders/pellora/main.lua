-- Shaders: a Pellora example of post-processing and 3D. A small 2D scene (a
-- sunset over a scrolling grid) is drawn into a render target, then shown
-- through a GLSL shader that makes it an old tube monitor (crt.frag); beside
-- it a textured torus knot turns under two coloured lights. Space switches
-- the tube effect off and on, the arrow keys turn the knot, Escape quits.
local W, H = 800, 600
local MONITOR = {x = 36, y = 112, w = 388, h = 300}      -- the tube, in pixels
local KEY_SPACE, KEY_ESCAPE, KEY_LEFT, KEY_RIGHT = 0x20, 0x1B, 0x25, 0x27

local crt = -1          -- the shader material; -1 when it could not be made
local knot = -1         -- the 3D node
local time, spin, strength, target = 0, 0, 1, 1
local stars = {}
local sky, sun, hills, rays  -- meshes made once, drawn every frame
local backdrop, glow, shadow

-- A quad with a colour per corner, as a mesh for video.renderMesh.
local function gradient(x, y, w, h, top, bottom)
    return video.createMesh({0, 1, 2, 1, 3, 2},
        {x, x + w, x, x + w}, {y, y, y + h, y + h}, {0, 0, 0, 0}, {0, 0, 0, 0},
        {top[1], top[1], bottom[1], bottom[1]}, {top[2], top[2], bottom[2], bottom[2]},
        {top[3], top[3], bottom[3], bottom[3]}, {top[4], top[4], bottom[4], bottom[4]})
end

-- An ellipse fading from one colour in the middle to another at the rim.
local function radial(cx, cy, rx, ry, inner, outer)
    local indices, xs, ys, as, rs, gs, bs = {}, {cx}, {cy}, {inner[1]}, {inner[2]}, {inner[3]}, {inner[4]}
    local segments = 48
    for i = 0, segments do
        local a = 2 * math.pi * i / segments
        xs[#xs + 1], ys[#ys + 1] = cx + rx * math.cos(a), cy + ry * math.sin(a)
        as[#as + 1], rs[#rs + 1], gs[#gs + 1], bs[#bs + 1] = outer[1], outer[2], outer[3], outer[4]
        if i > 0 then
            for _, v in ipairs({0, i, i + 1}) do indices[#indices + 1] = v end
        end
    end
    return video.createMesh(indices, xs, ys, nil, nil, as, rs, gs, bs)
end

-- A disc around (0, 0), yellow at the top and pink at the bottom, with the
-- bands of a synthwave sun cut out below its upper third.
local function makeSun(radius)
    local indices, xs, ys, as, rs, gs, bs = {}, {}, {}, {}, {}, {}, {}
    local function vertex(x, y)
        local t = (y + radius) / (2 * radius)
        xs[#xs + 1], ys[#ys + 1] = x, y
        as[#as + 1], rs[#rs + 1] = 255, 255
        gs[#gs + 1], bs[#bs + 1] = math.floor(220 - 150 * t), math.floor(80 + 90 * t)
        return #xs - 1
    end
    local rows = 24
    for i = 0, rows - 1 do
        local y0 = -radius + 2 * radius * i / rows
        local y1 = -radius + 2 * radius * (i + 1) / rows
        local band = y0 > -0.35 * radius and (i % 3 == 2)
        if not band then
            local w0 = math.sqrt(math.max(0, radius * radius - y0 * y0))
            local w1 = math.sqrt(math.max(0, radius * radius - y1 * y1))
            local a, b = vertex(-w0, y0), vertex(w0, y0)
            local c, d = vertex(-w1, y1), vertex(w1, y1)
            for _, k in ipairs({a, b, c, b, d, c}) do indices[#indices + 1] = k end
        end
    end
    return video.createMesh(indices, xs, ys, nil, nil, as, rs, gs, bs)
end

-- Dark purple hills along the horizon of the monitor's picture.
local function makeHills(x, y, w)
    local indices, xs, ys, as, rs, gs, bs = {}, {}, {}, {}, {}, {}, {}
    local peaks = 9
    for i = 0, peaks do
        local px = x + w * i / peaks
        local py = y - 18 - 30 * math.abs(math.sin(i * 1.7)) - 12 * (i % 2)
        for _, p in ipairs({{px, py}, {px, y}}) do
            xs[#xs + 1], ys[#ys + 1] = p[1], p[2]
            as[#as + 1], rs[#rs + 1], gs[#gs + 1], bs[#bs + 1] = 255, 48, 16, 72
        end
        if i > 0 then
            local k = 2 * i
            for _, v in ipairs({k - 2, k, k - 1, k, k + 1, k - 1}) do indices[#indices + 1] = v end
        end
    end
    return video.createMesh(indices, xs, ys, nil, nil, as, rs, gs, bs)
end

-- The grid's lines running to the vanishing point, as thin quads: lines
-- drawn one by one would land under the batched rectangles.
local function makeRays(cx, horizon, bottom)
    local indices, xs, ys, as, rs, gs, bs = {}, {}, {}, {}, {}, {}, {}
    for i = -10, 10 do
        local x0, x1 = cx + i * 12, cx + i * 90
        for _, p in ipairs({{x0 - 0.6, horizon}, {x0 + 0.6, horizon}, {x1 - 1.2, bottom}, {x1 + 1.2, bottom}}) do
            xs[#xs + 1], ys[#ys + 1] = p[1], p[2]
            as[#as + 1], rs[#rs + 1], gs[#gs + 1], bs[#bs + 1] = 255, 255, 60, 200
        end
        local k = #xs - 4
        for _, v in ipairs({k, k + 1, k + 2, k + 1, k + 3, k + 2}) do indices[#indices + 1] = v end
    end
    return video.createMesh(indices, xs, ys, nil, nil, as, rs, gs, bs)
end

hook.add("gameInit", function()
    video.createRenderTarget("frame")
    crt = video.createGlslShader("", "crt.frag")
    if crt < 0 then print("crt.frag did not build: the picture stays flat") end

    backdrop = gradient(0, 0, W, H, {255, 14, 12, 28}, {255, 30, 16, 40})
    glow = radial(610, 266, 190, 170, {110, 90, 70, 160}, {0, 30, 16, 40})
    shadow = radial(610, 432, 120, 16, {140, 0, 0, 0}, {0, 0, 0, 0})
    sky = gradient(MONITOR.x, MONITOR.y, MONITOR.w, MONITOR.h * 0.62,
                   {255, 20, 8, 60}, {255, 230, 70, 120})
    sun = makeSun(62)
    hills = makeHills(MONITOR.x, MONITOR.y + MONITOR.h * 0.62, MONITOR.w)
    rays = makeRays(MONITOR.x + MONITOR.w / 2, MONITOR.y + MONITOR.h * 0.62, MONITOR.y + MONITOR.h)
    for i = 1, 60 do
        stars[i] = {x = MONITOR.x + math.random() * MONITOR.w,
                    y = MONITOR.y + math.random() * MONITOR.h * 0.5, phase = math.random() * 6.28}
    end

    -- The camera looks from in front along +z; the knot sits on the right.
    video.setCameraPosition(0, 0, -5)
    video.setCameraViewPosition(0, 0, 0)
    knot = video.createSceneNode("knot.obj", "knot.png", 2.35, -0.05, 0, 0, 0, 0, 1.35, 1.35, 1.35)
    if knot < 0 then print("knot.obj or knot.png is missing: build the project first") end
    video.createLightSceneNode(-3, 4, -7, 9, 255, 255, 236, 210)    -- warm key light
    video.createLightSceneNode(6, -3, 2, 6, 255, 80, 140, 255)      -- cool rim light
end)

hook.add("frameUpdate", function(dt)
    time = time + dt
    spin = spin + 35 * dt
    if kelvo.isKeyPressed(KEY_LEFT) then spin = spin - 120 * dt end
    if kelvo.isKeyPressed(KEY_RIGHT) then spin = spin + 120 * dt end
    strength = strength + (target - strength) * math.min(1, dt * 6)
    if knot >= 0 then video.setSceneNodeRotation(knot, 25 + 10 * math.sin(time * 0.7), spin, 0) end
end)

-- The picture on the monitor: sky, sun, stars, hills and a grid running
-- towards the viewer.
local function drawScene()
    local m = MONITOR
    local horizon = m.y + m.h * 0.62
    video.setScissorClip(m.x, m.y, m.x + m.w, m.y + m.h)
    video.renderMesh(sky)
    for _, s in ipairs(stars) do
        local a = math.floor(140 + 110 * math.sin(time * 2 + s.phase))
        video.renderRectangle(s.x, s.y, 2, 2, a, 255, 255, 255)
    end
    video.renderMesh(sun, m.x + m.w / 2, horizon - 46)
    video.renderMesh(hills)
    video.renderRectangle(m.x, horizon, m.w, m.h - (horizon - m.y), 255, 24, 6, 40)
    -- Rows of the grid coming closer, and the lines to the vanishing point.
    local depth = (time * 0.8) % 1
    for i = 0, 9 do
        local t = ((i + depth) / 10) ^ 2.2
        local y = math.floor(horizon + t * (m.y + m.h - horizon))
        video.renderRectangle(m.x, y, m.w, 1 + math.floor(t * 2), 255, 255, 60, 200)
    end
    video.renderMesh(rays)
    local bob = math.floor(4 * math.sin(time * 3))
    video.renderText("#4PELLORA", m.x + m.w / 2, m.y + 26 + bob, 1)
    video.clearScissorClip()
end

hook.add("frameRender", function()
    video.setActiveRenderTarget("frame")
    video.clearScreen(14, 12, 22)
    video.renderMesh(backdrop)
    video.renderMesh(glow)
    video.renderMesh(shadow)
    -- The bezel around the tube, then the picture on it.
    local m = MONITOR
    video.renderRectangle(m.x - 14, m.y - 14, m.w + 28, m.h + 28, 255, 58, 56, 66)
    video.renderRectangle(m.x - 6, m.y - 6, m.w + 12, m.h + 12, 255, 22, 22, 28)
    drawScene()
    video.renderText("GLSL post-processing", m.x + m.w / 2, m.y + m.h + 30, 1)
    video.renderText("curved glass, scan lines, colour fringes", m.x + m.w / 2, m.y + m.h + 50, 1)
    video.renderText("A lit 3D model", 610, m.y + m.h + 30, 1)
    video.renderText("an OBJ file read with Assimp, two lights", 610, m.y + m.h + 50, 1)
    video.renderText("Space: tube effect on/off    Left/Right: turn the knot    Escape: quit",
                     W / 2, H - 40, 1)
    video.setActiveRenderTarget(nil)

    local sw, sh = video.getTextureSize("frame")
    video.renderFullscreenShader(crt, {
        monitor = {m.x / sw, m.y / sh, (m.x + m.w) / sw, (m.y + m.h) / sh},
        resolution = {sw, sh}, time = time, strength = strength,
    }, "frame")
    if crt < 0 then video.render2dTexture("frame", 0, 0, W, H) end
    video.render3dScene()
    video.renderText("Shaders: post-processing and 3D with Pellora", W / 2, 34, 1)
    video.renderRectangle(W / 2 - 170, 56, 340, 1, 120, 200, 120, 255)
end)

hook.add("keyPress", function(key)
    if key == KEY_SPACE then target = 1 - target end
    if key == KEY_ESCAPE then kelvo.exitGame() end
end)
