-- A ball dropped onto a ground box, stepped once per frame at 1/60 s.
local world, ground, ball
local frames = 0

hook.add("gameInit", function()
    local p = Physics(nil, nil, nil, nil, 0, 10)
    print("clockwise square: " .. tostring(p:addPolygonShape(p:createEntity({}), {},
        {0, 0, 1, 1}, {0, 1, 1, 0})))
    print("nine vertices: " .. tostring(p:addPolygonShape(1, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9},
        {1, 2, 3, 4, 5, 6, 7, 8, 9})))
    print("flat corner: " .. tostring(p:addPolygonShape(1, {}, {0, 2, 4, 2},
        {0, -0.003, 0, 4})))
    p = nil
    collectgarbage()

    world = Physics(nil, nil, nil, nil, 0, 10)
    world:createEntity({})  -- 1, left empty
    ground = world:createEntity({}, 0, 5)
    world:addBoxShape(ground, {width = 20, height = 1, userData = "ground"})
    ball = world:createEntity({}, 0, 0)
    world:addCircleShape(ball, {radius = 0.5, density = 1})
    world:activateEntity(ball)
    print("no contacts: " .. tostring((world:getEntityCollisions(ball))))
end)

hook.add("frameUpdate", function(dt)
    world:update(1 / 60, 10)
    frames = frames + 1
    if frames == 80 then
        local list = world:getEntityCollisions(ball)
        print("landed: " .. tostring(list ~= nil) .. " " .. #list .. " " .. tostring(list[1].userData))
        local x, y = world:getEntityPosition(ball)
        print("resting on the ground: " .. tostring(math.abs(y - 4) < 0.05))
        local hit, hx, hy, nx, ny, text, id = world:raycastPoints(0, -10, 0, 10)
        print("ray down hits the ball: " .. tostring(hit) .. " " .. id)
    end
end)

hook.add("gameClose", function()
    world = nil
    collectgarbage()
    print("closed")
end)
