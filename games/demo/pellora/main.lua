-- Starfall: the Pellora demo. Stars and bombs tumble down through a field of
-- pegs (a Box2D world); move the fox with the arrow keys, A/D, the mouse or a
-- game pad (left stick or d-pad) and catch the stars. Click anywhere to drop a
-- bouncy star of your own. A caught star bursts into sparks and a bomb leaves
-- smoke: effects of the particle package demo.par. The start screen, the
-- pause menu (Esc or a pad's Start) and the options dialog are made with the
-- gui table in the default skin (skin.spr). The best score and the options
-- are saved in the user folder.
local W, H = 800, 600
local SCALE = 40 -- pixels per physics metre
local SPRITES = "demo.spr"
local EFFECTS = "demo.par"
local GROUND = H - 16 -- where the ground starts, and sparks bounce
local SAVE = "$USERDATA$/Starfall/best.sav"

local KEY_LEFT, KEY_RIGHT, KEY_A, KEY_D = 0x25, 0x27, 0x41, 0x44
local KEY_SPACE, KEY_ENTER, KEY_ESCAPE, KEY_M = 0x20, 13, 0x1B, 0x4D
-- Pads are joysticks 16 to 19; axis 1 is the left stick's x (axes count
-- from 1), buttons 0 A, 6 start, 10 and 11 the d-pad's left and right.
local PAD_BUTTON_A, PAD_BUTTON_START, PAD_LEFT, PAD_RIGHT = 0, 6, 10, 11
local STICK_DEAD_ZONE = 0.25

local world
local pegs = {}       -- {x, y} in pixels
local drops = {}      -- falling things: {id, kind, state}
local effects         -- the particle package's number
local backdrop = {}   -- distant stars: {x, y, phase}
local fox = {x = W / 2, y = H - 40, state = -1, facing = 1, moving = false}
local mode = "title"  -- title, play, paused, over
local score, best, lives = 0, 0, 3
local spawnTimer, elapsed, muted = 0, 0, false
-- The options: the volume in tenths (the scroll bar's steps) and full screen.
local options = {volume = 10, fullscreen = false}
local VOLUME_STEPS = 10
-- The GUI: the start menu, the pause menu and the open options dialog.
local startMenu, pauseMenu, optionsDialog, optionsBox
local rumbleLeft = 0  -- seconds the pads keep shaking after a bomb

-- Slots of the sprite states that are shared by every drop of a kind.
local shared = {}

-- The save file: the best score, then 1 and the options (a file of an
-- older Starfall ends after the score and keeps the default options).
local function loadSave()
    local r = ReadFile(SAVE)
    if r:isOk() then
        local value = r:readInt()
        if value and value > 0 then best = value end
        if r:readInt() == 1 then
            options.volume = math.max(0, math.min(VOLUME_STEPS, r:readInt()))
            options.fullscreen = r:readInt() ~= 0
        end
    end
    r:close()
end

local function save()
    kelvo.getUserFolderPath("Starfall")
    local w = WriteFile(SAVE)
    w:writeInt(best)
    w:writeInt(1)
    w:writeInt(options.volume)
    w:writeInt(options.fullscreen and 1 or 0)
    w:close()
end

local function sound(name, gain)
    if not muted then audio.playSound(name, gain or 1.0, 0.0, 0.9 + math.random() * 0.2) end
end

local function buildWorld()
    world = Physics(-50, -50, 50, 50, 0, 9.8)
    pegs = {}
    -- Rows of pegs, every other row shifted, with the bottom rows left open.
    for row = 0, 4 do
        local y = 170 + row * 70
        local offset = (row % 2) * 50
        for x = 60 + offset, W - 40, 100 do
            local id = world:createEntity({}, x / SCALE, y / SCALE)
            world:addCircleShape(id, {radius = 6 / SCALE, friction = 0.1, restitution = 0.4})
            pegs[#pegs + 1] = {x = x, y = y}
        end
    end
    -- Walls on both sides.
    for _, x in ipairs({0, W}) do
        local id = world:createEntity({}, x / SCALE, 0)
        world:addEdgeShape(id, {startX = 0, startY = -5, endX = 0, endY = H / SCALE + 5})
    end
end

local function dropThing(kind, x, y)
    local id = world:createEntity({angularDamping = 0.5}, x / SCALE, y / SCALE)
    local radius = (kind == "bomb" and 13 or 12) / SCALE
    world:addCircleShape(id, {radius = radius, density = 1.0, friction = 0.3,
                              restitution = kind == "bonus" and 0.85 or 0.5})
    world:activateEntity(id)
    world:setEntitySpeed(id, (math.random() - 0.5) * 3, 0)
    local state = video.createSpriteState(kind == "bomb" and "bomb" or "star", SPRITES)
    drops[#drops + 1] = {id = id, kind = kind, state = state}
end

local function removeDrop(i)
    local d = drops[i]
    world:deleteEntity(d.id)
    if d.state >= 0 then video.removeSpriteState(d.state) end
    table.remove(drops, i)
end

local function effect(name, x, y)
    if effects then particles.spawn(effects, name, x, y) end
end

-- How far the pads push the fox: -1 full left to 1 full right.
local function padDirection()
    local dx = 0
    for pad = 16, 19 do
        if kelvo.isJoystickButtonPressed(pad, PAD_LEFT) then dx = dx - 1 end
        if kelvo.isJoystickButtonPressed(pad, PAD_RIGHT) then dx = dx + 1 end
        local stick = kelvo.getJoystickAxises(pad, 1)
        if math.abs(stick) > STICK_DEAD_ZONE then dx = dx + stick end
    end
    return math.max(-1, math.min(1, dx))
end

local function shakePads(seconds)
    rumbleLeft = seconds
    for pad = 16, 19 do kelvo.setJoystickVibration(pad, 40000, 20000) end
end

-- The menus. Each is a window of buttons stacked in the middle of the
-- screen; the skin's buttons are 150 x 36.
local function make(kind, parent, x, y, w, h, text)
    local c = gui.createComponent(kind, parent)
    if w then c:setRelativePosition(x, y, w, h) end
    if text then c:setText(WChar(text)) end
    return c
end

local function menu(kind, title, y, buttons)
    local height = #buttons * 46 + (kind == "window" and 44 or 16)
    local m = make(kind, nil, W / 2 - 100, y, 200, height, title)
    local x, top = m:getContentArea()
    for i, b in ipairs(buttons) do
        local button = make("button", m, x + 25, top + 8 + (i - 1) * 46, 150, 36, b[1])
        button.onClick = b[2]
    end
    return m
end

local function showMenus()
    startMenu:setVisible(mode == "title" or mode == "over")
    pauseMenu:setVisible(mode == "paused")
end

local function applyVolume(steps)
    audio.setMasterVolume(steps / VOLUME_STEPS)
end

local function closeOptions()
    -- The dialog goes at the end of the frame; it is hidden at once, so it
    -- never shows together with the menu it goes back to.
    if optionsDialog then
        optionsDialog:setVisible(false)
        optionsDialog:remove()
    end
    optionsDialog, optionsBox = nil, nil
    showMenus()
end

local function cancelOptions()
    applyVolume(options.volume)
    closeOptions()
end

-- The options dialog over a shade that keeps the menus behind it from being
-- clicked. The volume is heard while the bar moves; Cancel takes it back.
local function openOptions()
    if optionsDialog then return end
    startMenu:setVisible(false)
    pauseMenu:setVisible(false)
    optionsDialog = gui.createComponent("modal")
    local box = make("window", optionsDialog, 0, 0, 340, 196, "Options")
    box:centerOnParent()
    local x, y, w = box:getContentArea()
    x = x + (w - 310) / 2
    make("label", box, x + 10, y + 18, 90, 20, "Volume")
    local level = make("label", box, x + 260, y + 18, 50, 20, "")
    local volume = make("hscroll", box, x + 96, y + 20, 150, 16)
    volume:setMax(VOLUME_STEPS)
    volume:setPos(options.volume)
    local function showLevel() level:setText(WChar(string.format("%d %%", volume:getPos() * 10))) end
    showLevel()
    function volume:onChange()
        showLevel()
        applyVolume(self:getPos())
    end
    local full = make("checkbox", box, x + 10, y + 58, 220, 24, "Full screen")
    full:setChecked(kelvo.isFullscreen())
    local ok = make("button", box, x, y + 112, 150, 36, "OK")
    function ok:onClick()
        options.volume = volume:getPos()
        options.fullscreen = full:isChecked()
        applyVolume(options.volume)
        kelvo.setFullscreen(options.fullscreen)
        save()
        closeOptions()
    end
    local cancel = make("button", box, x + 160, y + 112, 150, 36, "Cancel")
    cancel.onClick = cancelOptions
    optionsBox = box
end

local function startGame()
    for i = #drops, 1, -1 do removeDrop(i) end
    score, lives, spawnTimer, elapsed = 0, 3, 0, 0
    fox.x = W / 2
    mode = "play"
    showMenus()
end

local function endGame()
    mode = "over"
    if score > best then
        best = score
        save()
    end
    sound("boom.ogg")
    showMenus()
end

local function pause(on)
    mode = on and "paused" or "play"
    showMenus()
end

local function quitToTitle()
    if score > best then
        best = score
        save()
    end
    for i = #drops, 1, -1 do removeDrop(i) end
    score, lives = 0, 3
    mode = "title"
    showMenus()
end

-- A window's close button hides it: the options dialog closed so is
-- cancelled, the pause menu closed so resumes the game.
local function followClosedWindows()
    if optionsDialog then
        if not optionsBox:isVisible() then cancelOptions() end
    elseif mode == "paused" and not pauseMenu:isVisible() then
        pause(false)
    end
end

local function makeMenus()
    -- The default skin, with light text to go on its dark panels.
    gui.setSkin("skin.spr")
    gui.setSkinColor(8, 255, 226, 232, 242)  -- text
    gui.setSkinColor(9, 255, 110, 118, 134)  -- disabled text
    gui.setSkinColor(10, 255, 63, 169, 245)  -- selection
    startMenu = menu("frame", nil, 300, {
        {"Play", startGame},
        {"Options", openOptions},
        {"Quit", function() kelvo.exitGame() end},
    })
    pauseMenu = menu("window", "Paused", 190, {
        {"Resume", function() pause(false) end},
        {"Options", openOptions},
        {"Quit to title", quitToTitle},
    })
    showMenus()
end

hook.add("gameInit", function()
    math.randomseed(os.time())
    kelvo.setWindowTitle("Starfall - a Pellora demo")
    loadSave()
    applyVolume(options.volume)
    if options.fullscreen then kelvo.setFullscreen(true) end
    buildWorld()
    for _ = 1, 90 do
        backdrop[#backdrop + 1] = {x = math.random(0, W), y = math.random(0, H - 60),
                                   phase = math.random() * 6.28}
    end
    fox.state = video.createSpriteState("player", SPRITES)
    shared.peg = video.createSpriteState("spark", SPRITES)
    effects = particles.load(EFFECTS, SPRITES)
    particles.setGround(GROUND)
    for _, name in ipairs({"catch.ogg", "boom.ogg"}) do audio.loadSound(name) end
    audio.playMusic("music.ogg", 0.5, true)
    makeMenus()
end)

hook.add("frameUpdate", function(dt)
    followClosedWindows()
    -- A paused game stands still, sparks and all.
    if mode == "paused" then return end
    dt = math.min(dt, 0.05)
    elapsed = elapsed + dt

    if rumbleLeft > 0 then
        rumbleLeft = rumbleLeft - dt
        if rumbleLeft <= 0 then
            for pad = 16, 19 do kelvo.setJoystickVibration(pad, 0, 0) end
        end
    end

    -- The fox follows the keys and pads, or the mouse when it moves.
    local speed = 360
    local dx = 0
    if kelvo.isKeyPressed(KEY_LEFT) or kelvo.isKeyPressed(KEY_A) then dx = dx - 1 end
    if kelvo.isKeyPressed(KEY_RIGHT) or kelvo.isKeyPressed(KEY_D) then dx = dx + 1 end
    dx = math.max(-1, math.min(1, dx + padDirection()))
    local mx = kelvo.getMousePosition()
    if dx == 0 and fox.mouseX and mx ~= fox.mouseX and mode == "play" then
        fox.targetX = mx
    end
    fox.mouseX = mx
    if dx ~= 0 then fox.targetX = nil end
    if fox.targetX then
        local diff = fox.targetX - fox.x
        if math.abs(diff) > 4 then dx = diff > 0 and 1 or -1 else fox.targetX = nil end
    end
    fox.moving = dx ~= 0
    if dx ~= 0 then fox.facing = dx > 0 and 1 or -1 end
    fox.x = math.max(28, math.min(W - 28, fox.x + dx * speed * dt))
    if fox.moving then video.updateSpriteState(fox.state, dt) end

    -- Stars and bombs arrive faster as the game goes on; between games a
    -- few stars keep falling.
    spawnTimer = spawnTimer - dt
    if spawnTimer <= 0 then
        if mode == "play" then
            spawnTimer = math.max(0.35, 1.1 - elapsed * 0.01)
            dropThing(math.random() < 0.22 and "bomb" or "star", math.random(40, W - 40), -20)
        else
            spawnTimer = 0.8
            dropThing("star", math.random(40, W - 40), -20)
        end
    end

    world:update(dt, 8)

    for i = #drops, 1, -1 do
        local d = drops[i]
        local x, y = world:getEntityPosition(d.id)
        x, y = x * SCALE, y * SCALE
        d.x, d.y = x, y
        if d.state >= 0 then video.updateSpriteState(d.state, dt) end
        local caught = math.abs(x - fox.x) < 30 and math.abs(y - (fox.y - 8)) < 24
        if caught then
            if d.kind == "bomb" then
                if mode == "play" then
                    lives = lives - 1
                    sound("boom.ogg", 0.8)
                    effect("blast", x, y)
                    shakePads(0.3)
                    if lives <= 0 then endGame() end
                end
            else
                if mode == "play" then score = score + (d.kind == "bonus" and 5 or 1) end
                sound("catch.ogg", 0.7)
                effect("sparkle", x, y)
            end
            removeDrop(i)
        elseif y > H + 40 then
            removeDrop(i)
        end
    end

    particles.update(dt)
end)

local function drawBackground()
    -- A night sky in bands, from deep blue to violet near the ground.
    local bands = 24
    for i = 0, bands - 1 do
        local t = i / (bands - 1)
        video.renderRectangle(0, math.floor(i * H / bands), W, math.ceil(H / bands) + 1,
                              255, 16 + 40 * t, 20 + 10 * t, 48 + 40 * t)
    end
    for _, s in ipairs(backdrop) do
        local a = 120 + 100 * math.sin(elapsed * 1.7 + s.phase)
        video.renderRectangle(s.x, s.y, 2, 2, a, 230, 230, 255)
    end
    -- Ground.
    video.renderRectangle(0, GROUND, W, 16, 255, 40, 26, 60)
    video.renderRectangle(0, GROUND, W, 3, 255, 120, 90, 160)
end

local function centred(text, y, a, r, g, b)
    video.renderText(text, W / 2, y, 1, nil, a or 255, r or 255, g or 255, b or 255)
end

hook.add("frameRender", function()
    drawBackground()
    for _, p in ipairs(pegs) do
        video.renderSpriteState(shared.peg, p.x, p.y, 1.0, 0, 255, 255, 200, 120)
    end
    for _, d in ipairs(drops) do
        if d.state >= 0 and d.x then
            local angle = world:getEntityAngle(d.id)
            local tint = d.kind == "bonus" and {255, 255, 140, 200} or {255, 255, 255, 255}
            video.renderSpriteState(d.state, d.x, d.y, 1.0, angle, tint[1], tint[2], tint[3], tint[4])
        end
    end
    -- The fox faces the way it walks; the effects go over it.
    video.renderSpriteState(fox.state, fox.x, fox.y, 1.0, 0, 255, 255, 255, 255, fox.facing < 0)
    particles.render()

    video.renderText(string.format("Score %d", score), 16, 12)
    video.renderText(string.format("Best %d", best), W / 2, 12, 1)
    video.renderText(string.format("Lives %d", math.max(lives, 0)), W - 16, 12, 2, nil, 255, 255, 140, 140)

    if mode == "title" then
        centred("#3S T A R F A L L", 150)
        centred("Catch the stars, dodge the bombs.", 196)
        centred("Arrows, A/D, the mouse or a pad move the fox. Click to drop a star.", 226)
    elseif mode == "over" then
        centred("#4GAME OVER", 180)
        centred(string.format("Score %d   Best %d", score, best), 226)
    end
    if mode == "title" or mode == "over" then
        centred("Enter, Space or a pad's A plays   -   Esc pauses   -   M mutes   -   Ctrl+R restarts",
                H - 52, 255, 200, 200, 255)
    end
    -- The game dims behind the pause menu and the options dialog.
    if mode == "paused" or optionsDialog then
        video.renderRectangle(0, 0, W, H, 150, 8, 10, 24)
    end
end)

hook.add("keyPress", function(key)
    if optionsDialog then
        -- The dialog has the keyboard: Esc is Cancel.
        if key == KEY_ESCAPE then cancelOptions() end
    elseif (key == KEY_SPACE or key == KEY_ENTER) and (mode == "title" or mode == "over") then
        startGame()
    elseif key == KEY_ESCAPE and (mode == "play" or mode == "paused") then
        pause(mode == "play")
    elseif key == KEY_M then
        muted = not muted
        if muted then audio.stopMusic("music.ogg") else audio.playMusic("music.ogg", 0.5, true) end
    end
end)

hook.add("joystickButtonPressed", function(pad, button)
    if pad < 16 or optionsDialog then return end
    if (button == PAD_BUTTON_A or button == PAD_BUTTON_START) and (mode == "title" or mode == "over") then
        startGame()
    elseif button == PAD_BUTTON_START and (mode == "play" or mode == "paused") then
        pause(mode == "play")
    end
end)
-- Pressed and released are switched on together by whichever comes first.
hook.add("joystickButtonReleased", function() end)

hook.add("mouseButton", function(x, y, button)
    if button == 0 and mode ~= "paused" then dropThing("bonus", x, math.min(y, 120)) end
end)

hook.add("gameClose", function()
    -- A restart must not leave the pads shaking.
    if rumbleLeft > 0 then
        for pad = 16, 19 do kelvo.setJoystickVibration(pad, 0, 0) end
    end
    if score > best then
        best = score
        save()
    end
end)
