-- Comet Duel: a duel of two ships over the network, bundled with Pellora.
-- Both ships circle a sun whose pull bends their flight and their shots.
-- Shoot the other ship (1 point), grab the gems (2 points) and keep out of
-- the sun (flying into it gives the other player a point). After two
-- minutes the higher score wins.
--
--   pellora games/duel                    hosts (or, when a game on this
--                                         machine already hosts, joins it)
--   pellora games/duel --join 10.0.0.7    joins the game hosted there
--   ... --port 3001 --name Ann            another port, your name
--   ... --seconds 30                      quit after that long (scripted runs)
--
-- The host runs the round (clock, gems, scores); each side flies its own
-- ship and sends where it is every frame, and each side decides whether
-- the other's shots hit its own ship, so what a player sees is what counts.
local W, H = 800, 600
local GAME = "Comet Duel 1" -- both sides must run the same version
local SPRITES = "duel.spr"
local SUN_X, SUN_Y, SUN_RADIUS, SUN_PULL = W / 2, H / 2, 26, 140000
local ROUND_SECONDS, READY_SECONDS = 120, 3
local TURN, THRUST, MAX_SPEED = 4.0, 240, 330
local BOLT_SPEED, BOLT_LIFE, BOLT_COOLDOWN, BOLTS_AT_ONCE = 400, 1.6, 0.28, 5
local RESPAWN_SECONDS, SHIELD_SECONDS = 1.5, 2.0

local KEY_BACKSPACE, KEY_ENTER, KEY_ESCAPE, KEY_SPACE = 0x08, 13, 0x1B, 0x20
local KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN = 0x25, 0x26, 0x27, 0x28
local KEY_A, KEY_D, KEY_W, KEY_M = 0x41, 0x44, 0x57, 0x4D

-- Packet ids.
local P_HELLO, P_STATE, P_FIRE, P_HIT, P_SCORE, P_GEM, P_TAKE, P_ROUND, P_PING, P_PONG =
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10

-- Settings from the command line (after the game folder).
local options = {port = 3000, name = os.getenv("USER") or "Player"}
do
    local i = 1
    while arg and arg[i] do
        local a, value = arg[i], arg[i + 1]
        if a == "--join" and value then
            options.join, i = value, i + 1
        elseif a == "--port" and tonumber(value or "") then
            options.port, i = tonumber(value), i + 1
        elseif a == "--name" and value then
            options.name, i = value, i + 1
        elseif a == "--seconds" and tonumber(value or "") then
            options.seconds, i = tonumber(value), i + 1
        elseif a == "--menu" then
            options.menu = true
        end
        i = i + 1
    end
end

local session         -- the net object of the game's session
local role            -- "host" or "guest" while a session runs
local guestId         -- the host's client id of its guest
local mode = "menu"   -- menu, waiting, joining, ready, play, over
local message = ""    -- shown on the menu: why we are there
local address = options.join or "127.0.0.1"
local menuChoice = 1  -- 1 host, 2 join
local clock = 0       -- seconds of game time since the start
local startTime       -- the runtime's clock at the start
local roundLeft = ROUND_SECONDS
local scores = {host = 0, guest = 0}
local gem             -- {id, x, y} the gem on the field, or nil
local gemId, gemTimer = 0, 4
local pingMs, pingTimer = nil, 0
local muted = false
local stars, sparks, bolts = {}, {}, {}
local boltId = 0
local states = {}     -- shared sprite states, by animation
local me, them        -- the two ships

local function log(text)
    -- On standard output only: the on-screen console stays clear.
    io.stdout:write("duel: " .. text .. "\n")
    io.stdout:flush()
end

local function sound(name, gain)
    if not muted then audio.playSound(name, gain or 1.0, 0.0, 0.95 + math.random() * 0.1) end
end

local function newShip()
    return {x = 0, y = 0, vx = 0, vy = 0, angle = 0, thrust = false, alive = true,
            shield = 0, respawn = 0, cooldown = 0, colour = {255, 255, 255}, name = "",
            idle = video.createSpriteState("ship", SPRITES),
            flame = video.createSpriteState("thrust", SPRITES), seen = 0, heard = false}
end

-- Where each side's ship starts: the host on the left, facing right.
local function placeShip(ship, side)
    ship.x = side == "host" and 140 or W - 140
    ship.y = H / 2
    ship.vx, ship.vy = 0, side == "host" and -95 or 95
    ship.angle = side == "host" and 0 or math.pi
    ship.alive, ship.shield, ship.respawn = true, SHIELD_SECONDS, 0
end

local function send(packetId, values)
    if not session then return end
    if role == "host" then
        if guestId then session:sendPacket(guestId, packetId, values) end
    elseif role == "guest" then
        session:sendPacket(1000, packetId, values)
    end
end

local function burst(x, y, colour, count)
    for _ = 1, count or 16 do
        local a, speed = math.random() * math.pi * 2, 40 + math.random() * 160
        sparks[#sparks + 1] = {x = x, y = y, vx = math.cos(a) * speed, vy = math.sin(a) * speed,
                               life = 0.4 + math.random() * 0.4, colour = colour}
    end
end

local function wrap(v, size)
    if v < 0 then return v + size elseif v >= size then return v - size end
    return v
end

-- The sun's pull on something at x, y: its acceleration.
local function pull(x, y)
    local dx, dy = SUN_X - x, SUN_Y - y
    local d2 = math.max(dx * dx + dy * dy, 1600)
    local d = math.sqrt(d2)
    return dx / d * SUN_PULL / d2, dy / d * SUN_PULL / d2
end

local function insideSun(x, y, margin)
    local dx, dy = x - SUN_X, y - SUN_Y
    return dx * dx + dy * dy < (SUN_RADIUS + margin) ^ 2
end

local function sendScores()
    send(P_SCORE, {scores.host, scores.guest})
end

-- The host's scoring: side scores `points`.
local function award(side, points)
    scores[side] = scores[side] + points
    sendScores()
    log(string.format("score %d-%d", scores.host, scores.guest))
end

local function myScore() return role == "guest" and scores.guest or scores.host end
local function theirScore() return role == "guest" and scores.host or scores.guest end

local function setRound(state, left)
    mode, roundLeft = state, left
    if role == "host" then send(P_ROUND, {state, left}) end
    if state == "ready" then
        placeShip(me, role)
        bolts = {}
        log("round starting")
    elseif state == "play" then
        log("round started")
    elseif state == "over" then
        sound("bell.ogg")
        log(string.format("round over %d-%d", scores.host, scores.guest))
    end
end

-- Host: a new round with a guest present.
local function startRound()
    scores.host, scores.guest = 0, 0
    sendScores()
    gem, gemTimer = nil, 4
    send(P_GEM, {0, 0, 0})
    setRound("ready", READY_SECONDS)
end

local function leaveSession(why)
    if session then session:disconnect() end
    role, guestId, them.name, them.heard, mode, message = nil, nil, "", false, "menu", why or ""
    bolts, gem = {}, nil
end

-- The host's ship is blue and the guest's orange, on both screens.
local BLUE, ORANGE = {120, 220, 255}, {255, 170, 80}
local function takeRole(side)
    role = side
    me.colour, them.colour = side == "host" and BLUE or ORANGE, side == "host" and ORANGE or BLUE
end

-- My ship was destroyed: by a bolt of the other ship (its id) or the sun.
local function destroyed(bolt, cause)
    if not me.alive then return end
    me.alive, me.respawn = false, RESPAWN_SECONDS
    burst(me.x, me.y, me.colour, 24)
    sound("blast.ogg", 0.9)
    send(P_HIT, {bolt or 0, cause})
    if role == "host" then award("guest", 1) end
end

-- ------------------------------------------------------------------ session

local function makeSession()
    session = net.createDevice()

    function session:onClientConnect(name, id)
        if guestId then return end
        guestId, them.name = id, name
        log("guest " .. name .. " joined")
        send(P_HELLO, {options.name})
        startRound()
    end

    function session:onClientDisconnect(id)
        if id ~= guestId then return end
        log("guest left")
        guestId, them.name, them.heard, mode = nil, "", false, "waiting"
        bolts, gem = {}, nil
    end

    function session:onConnect(id)
        -- The host's round reports come next.
        log("joined as client " .. id)
        send(P_HELLO, {options.name})
    end

    function session:onFail(reason)
        log("could not join: " .. reason)
        leaveSession("Could not join " .. address .. ": " .. reason)
    end

    function session:onDisconnect()
        log("the host left")
        leaveSession("The host left the game.")
    end

    function session:onPacket(packetId, v, from)
        if packetId == P_STATE then
            if not them.heard then log("first state from the other ship") end
            if them.alive and not v[7] then burst(v[1], v[2], them.colour, 24) end
            them.x, them.y, them.vx, them.vy, them.angle = v[1], v[2], v[3], v[4], v[5]
            them.thrust, them.alive, them.shield = v[6], v[7], v[8] and 1 or 0
            them.seen, them.heard = clock, true
        elseif packetId == P_HELLO then
            them.name = v[1] or "?"
            if role == "guest" then log("the host is " .. them.name) end
        elseif packetId == P_FIRE then
            bolts[#bolts + 1] = {id = v[1], x = v[2], y = v[3], vx = v[4], vy = v[5],
                                 life = BOLT_LIFE, mine = false}
            sound("shoot.ogg", 0.35)
        elseif packetId == P_HIT then
            -- The other ship says one of my bolts (or the sun) got it.
            for i = #bolts, 1, -1 do
                if bolts[i].mine and bolts[i].id == v[1] then table.remove(bolts, i) end
            end
            burst(them.x, them.y, them.colour, 24)
            sound("blast.ogg", 0.7)
            them.alive = false
            if role == "host" then award("host", 1) end
        elseif packetId == P_SCORE then
            if v[1] ~= scores.host or v[2] ~= scores.guest then
                log(string.format("score %d-%d", v[1], v[2]))
            end
            scores.host, scores.guest = v[1], v[2]
        elseif packetId == P_GEM then
            gem = v[1] ~= 0 and {id = v[1], x = v[2], y = v[3]} or nil
        elseif packetId == P_TAKE then
            if role == "host" and gem and gem.id == v[1] then
                gem = nil
                send(P_GEM, {0, 0, 0})
                award("guest", 2)
            end
        elseif packetId == P_ROUND then
            if v[1] == mode then roundLeft = v[2] else setRound(v[1], v[2]) end
        elseif packetId == P_PING then
            send(P_PONG, {v[1]})
        elseif packetId == P_PONG then
            pingMs = math.floor((clock - v[1]) * 1000 + 0.5)
        end
    end
end

local function host()
    leaveSession("")
    if session:startHost(GAME, options.name, options.port, 2) then
        takeRole("host")
        mode = "waiting"
        log("hosting on port " .. options.port)
        return true
    end
    log("port " .. options.port .. " is taken")
    return false
end

local function join(where)
    leaveSession("")
    address = where
    takeRole("guest")
    mode = "joining"
    log("joining " .. where .. " port " .. options.port)
    session:joinHost(GAME, options.name, where, options.port)
end

-- ------------------------------------------------------------------ frames

local function fly(ship, dt)
    if kelvo.isKeyPressed(KEY_LEFT) or kelvo.isKeyPressed(KEY_A) then ship.angle = ship.angle - TURN * dt end
    if kelvo.isKeyPressed(KEY_RIGHT) or kelvo.isKeyPressed(KEY_D) then ship.angle = ship.angle + TURN * dt end
    ship.thrust = kelvo.isKeyPressed(KEY_UP) or kelvo.isKeyPressed(KEY_W)
    if ship.thrust then
        ship.vx = ship.vx + math.cos(ship.angle) * THRUST * dt
        ship.vy = ship.vy + math.sin(ship.angle) * THRUST * dt
    end
    local ax, ay = pull(ship.x, ship.y)
    ship.vx, ship.vy = ship.vx + ax * dt, ship.vy + ay * dt
    local speed = math.sqrt(ship.vx ^ 2 + ship.vy ^ 2)
    if speed > MAX_SPEED then ship.vx, ship.vy = ship.vx * MAX_SPEED / speed, ship.vy * MAX_SPEED / speed end
    ship.x, ship.y = wrap(ship.x + ship.vx * dt, W), wrap(ship.y + ship.vy * dt, H)
    ship.shield = math.max(0, ship.shield - dt)
end

local function fire(ship)
    local own = 0
    for _, b in ipairs(bolts) do if b.mine then own = own + 1 end end
    if ship.cooldown > 0 or own >= BOLTS_AT_ONCE then return end
    ship.cooldown = BOLT_COOLDOWN
    boltId = boltId + 1
    local c, s = math.cos(ship.angle), math.sin(ship.angle)
    local b = {id = boltId, x = ship.x + c * 16, y = ship.y + s * 16,
               vx = ship.vx + c * BOLT_SPEED, vy = ship.vy + s * BOLT_SPEED, life = BOLT_LIFE, mine = true}
    bolts[#bolts + 1] = b
    send(P_FIRE, {b.id, b.x, b.y, b.vx, b.vy})
    sound("shoot.ogg", 0.6)
end

local function updateMine(dt)
    me.cooldown = math.max(0, me.cooldown - dt)
    if not me.alive then
        me.respawn = me.respawn - dt
        if me.respawn <= 0 then placeShip(me, role) end
        return
    end
    fly(me, dt)
    if mode == "play" and kelvo.isKeyPressed(KEY_SPACE) then fire(me) end
    if mode == "play" and insideSun(me.x, me.y, 6) then destroyed(0, "sun") end
    if mode == "play" and gem and (me.x - gem.x) ^ 2 + (me.y - gem.y) ^ 2 < 22 ^ 2 then
        sound("gem.ogg")
        burst(gem.x, gem.y, {55, 214, 122}, 10)
        if role == "host" then
            gem = nil
            send(P_GEM, {0, 0, 0})
            award("host", 2)
        else
            send(P_TAKE, {gem.id})
            gem = nil
        end
    end
end

local function updateBolts(dt)
    for i = #bolts, 1, -1 do
        local b = bolts[i]
        local ax, ay = pull(b.x, b.y)
        b.vx, b.vy = b.vx + ax * dt * 0.6, b.vy + ay * dt * 0.6
        b.x, b.y = wrap(b.x + b.vx * dt, W), wrap(b.y + b.vy * dt, H)
        b.life = b.life - dt
        local hit = not b.mine and me.alive and me.shield <= 0 and mode == "play" and
                        (b.x - me.x) ^ 2 + (b.y - me.y) ^ 2 < 14 ^ 2
        if hit then destroyed(b.id, "bolt") end
        if hit or b.life <= 0 or insideSun(b.x, b.y, 0) then table.remove(bolts, i) end
    end
end

-- The host's round: the clock and the gems.
local function updateRound(dt)
    if role ~= "host" or not guestId then return end
    if mode == "ready" then
        roundLeft = roundLeft - dt
        if roundLeft <= 0 then setRound("play", ROUND_SECONDS) end
    elseif mode == "play" then
        local before = math.ceil(roundLeft)
        roundLeft = roundLeft - dt
        if roundLeft <= 0 then
            setRound("over", 0)
        elseif math.ceil(roundLeft) ~= before then
            send(P_ROUND, {"play", roundLeft})
        end
        gemTimer = gemTimer - dt
        if not gem and gemTimer <= 0 then
            local x, y
            repeat
                x, y = math.random(40, W - 40), math.random(60, H - 40)
            until not insideSun(x, y, 110)
            gemId, gemTimer = gemId + 1, 6 + math.random() * 4
            gem = {id = gemId, x = x, y = y}
            send(P_GEM, {gem.id, x, y})
        end
    end
end

hook.add("gameInit", function()
    math.randomseed(os.time())
    startTime = kelvo.getSeconds()
    kelvo.setWindowTitle("Comet Duel - a Pellora demo")
    for _, name in ipairs({"shoot.ogg", "blast.ogg", "gem.ogg", "bell.ogg"}) do audio.loadSound(name) end
    for _, name in ipairs({"bolt", "gem", "sun", "spark", "shield"}) do
        states[name] = video.createSpriteState(name, SPRITES)
    end
    for _ = 1, 120 do
        stars[#stars + 1] = {x = math.random(0, W), y = math.random(0, H), phase = math.random() * 6.28,
                             size = math.random() < 0.15 and 2 or 1}
    end
    me, them = newShip(), newShip()
    makeSession()
    if options.join then
        join(options.join)
    elseif not options.menu and not host() then
        -- Someone on this machine hosts already: play against them.
        join("127.0.0.1")
    end
end)

hook.add("frameUpdate", function(dt)
    dt = math.min(dt, 0.05)
    clock = clock + dt
    if options.seconds and kelvo.getSeconds() - startTime > options.seconds then kelvo.exitGame() end
    for _, name in ipairs({"bolt", "gem", "sun", "spark"}) do video.updateSpriteState(states[name], dt) end
    video.updateSpriteState(me.flame, dt)
    video.updateSpriteState(them.flame, dt)

    local playing = mode == "ready" or mode == "play" or mode == "over"
    if playing then
        updateMine(dt)
        updateBolts(dt)
        updateRound(dt)
        if role == "guest" and mode == "play" then roundLeft = math.max(0, roundLeft - dt) end
        send(P_STATE, {me.x, me.y, me.vx, me.vy, me.angle, me.thrust, me.alive, me.shield > 0})
        pingTimer = pingTimer - dt
        if pingTimer <= 0 then
            pingTimer = 1
            send(P_PING, {clock})
        end
    elseif mode == "waiting" then
        fly(me, dt)
    end

    for i = #sparks, 1, -1 do
        local s = sparks[i]
        s.x, s.y, s.life = s.x + s.vx * dt, s.y + s.vy * dt, s.life - dt
        if s.life <= 0 then table.remove(sparks, i) end
    end
end)

-- ------------------------------------------------------------------ drawing

local function text(line, x, y, align, a, r, g, b)
    video.renderText(line, x, y, align or 0, nil, a or 255, r or 255, g or 255, b or 255)
end

local function drawShip(ship, x, y)
    if not ship.alive then return end
    local c = ship.colour
    video.renderSpriteState(ship.thrust and ship.flame or ship.idle, x, y, 1.25, ship.angle, 255,
                            c[1], c[2], c[3])
    if ship.shield > 0 then
        local a = math.floor(120 + 100 * math.sin(clock * 12))
        video.renderSpriteState(states.shield, x, y, 1.2, 0, a, 255, 255, 255)
    end
end

-- The other ship moves on from its last report while the next is on its way.
local function drawThem()
    if not them.heard then return end
    local age = math.min(clock - them.seen, 0.2)
    drawShip(them, wrap(them.x + them.vx * age, W), wrap(them.y + them.vy * age, H))
end

local function clockText(seconds)
    local s = math.max(0, math.ceil(seconds))
    return string.format("%d:%02d", math.floor(s / 60), s % 60)
end

local function drawHud()
    local mc, tc = me.colour, them.colour
    text(string.format("%s  %d", options.name, myScore()), 16, 10, 0, 255, mc[1], mc[2], mc[3])
    if role and them.name ~= "" then
        text(string.format("%d  %s", theirScore(), them.name), W - 16, 10, 2, 255, tc[1], tc[2], tc[3])
    end
    if mode == "play" then text(clockText(roundLeft), W / 2, 10, 1) end
    if pingMs and role then text(string.format("ping %d ms", pingMs), 16, H - 24, 0, 160) end
end

local function drawOverlay()
    if mode == "menu" then
        text("#3C O M E T   D U E L", W / 2, 150, 1)
        text("Two ships, one sun. Shoot the other ship, grab the gems, keep out of the sun.", W / 2, 190, 1, 220)
        local items = {"Host a game on port " .. options.port, "Join the game at  " .. address .. "_"}
        for i, item in ipairs(items) do
            local a = i == menuChoice and 255 or 140
            text((i == menuChoice and "> " or "  ") .. item, W / 2 - 170, 250 + i * 32, 0, a)
        end
        text("Up/Down choose, Enter starts; type the address to join.", W / 2, 370, 1, 180)
        if message ~= "" then text(message, W / 2, 410, 1, 255, 255, 150, 150) end
    elseif mode == "waiting" then
        text("Waiting for a player to join on port " .. options.port .. " ...", W / 2, 170, 1)
        text("(a second window: pellora games/duel --join 127.0.0.1)", W / 2, 200, 1, 170)
        text("Fly around meanwhile. Esc: back to the menu.", W / 2, 230, 1, 170)
    elseif mode == "joining" then
        text("Joining " .. address .. " ...", W / 2, 200, 1)
    elseif mode == "ready" then
        text(roundLeft > 0 and string.format("Get ready: %d", math.ceil(roundLeft)) or "Get ready", W / 2, 170, 1)
        text("Left/Right turn, Up thrusts, Space fires. Beware of the sun.", W / 2, 200, 1, 190)
    elseif mode == "over" then
        local mine, theirs = myScore(), theirScore()
        local verdict = mine > theirs and "#4You win!" or mine < theirs and "You lose." or "A draw."
        text(verdict, W / 2, 190, 1)
        text(string.format("%d : %d", mine, theirs), W / 2, 220, 1)
        text(role == "host" and "Press Enter for another round." or "Waiting for the host's next round ...",
             W / 2, 260, 1, 200)
    end
end

hook.add("frameRender", function()
    video.renderRectangle(0, 0, W, H, 255, 6, 8, 20)
    for _, s in ipairs(stars) do
        local a = 110 + 90 * math.sin(clock * 1.3 + s.phase)
        video.renderRectangle(s.x, s.y, s.size, s.size, a, 220, 225, 255)
    end
    video.renderSpriteState(states.sun, SUN_X, SUN_Y, 1.0 + 0.03 * math.sin(clock * 2), clock * 0.2)
    if gem then video.renderSpriteState(states.gem, gem.x, gem.y, 1.0 + 0.08 * math.sin(clock * 5)) end
    for _, b in ipairs(bolts) do
        local c = b.mine and me.colour or them.colour
        video.renderSpriteState(states.bolt, b.x, b.y, 1.0, 0, 255, c[1], c[2], c[3])
    end
    if role or mode == "waiting" then drawShip(me, me.x, me.y) end
    if role and them.name ~= "" then drawThem() end
    for _, s in ipairs(sparks) do
        local c = s.colour
        video.renderSpriteState(states.spark, s.x, s.y, 1.0, 0, math.floor(255 * math.min(1, s.life * 2)),
                                c[1], c[2], c[3])
    end
    drawHud()
    drawOverlay()
end)

-- ------------------------------------------------------------------ keys

hook.add("keyPress", function(key)
    if mode == "menu" then
        if key == KEY_UP or key == KEY_DOWN then
            menuChoice = 3 - menuChoice
        elseif key == KEY_BACKSPACE then
            address, menuChoice = address:sub(1, -2), 2
        elseif key == KEY_ENTER then
            if menuChoice == 1 then
                if not host() then message = "Port " .. options.port .. " is taken: join that game instead." end
            elseif address ~= "" then
                join(address)
            end
        end
    elseif key == KEY_M then
        muted = not muted
    elseif key == KEY_ESCAPE then
        leaveSession("")
    elseif key == KEY_ENTER and mode == "over" and role == "host" then
        startRound()
    end
end)

hook.add("keyCharacter", function(char)
    if mode ~= "menu" or char < 33 or char > 126 then return end
    local c = string.char(char)
    if c:match("[%w%.%-:]") and #address < 60 then
        address, menuChoice = address .. c, 2
    end
end)

hook.add("gameClose", function()
    if session then session:disconnect() end
end)
