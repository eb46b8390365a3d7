-- Random calls of every Physics method, a slice per frame.
math.randomseed(7)
local methods = {}
for name, value in pairs(Physics) do
    if type(value) == "function" and name ~= "new" then methods[#methods + 1] = name end
end
table.sort(methods)
local values = {
    nil, 0, 1, 2, 3, 4, -1, 0.5, 1e-30, 1e30, -1e30, 1e300, 0/0, 1/0, -1/0, 32768, 65536,
    2^31, 2^63, "2", "text", true, false, {}, {density = 1}, {density = 0/0},
    {radius = 1e300, density = 1}, {width = 1e-20, height = 1e-20, density = 1},
    {restitution = 1e30, friction = -1, density = 1}, {isSensor = true, density = 1},
    {0, 1, 1, 0}, {0, 0, 1, 1}, {0/0, 1, 2}, {enableLimit = true, lowerAngle = 0/0},
    function() end,
}
local function pick() return values[math.random(1, #values + 1)] end
local worlds = {}
local frames = 0

local function fresh()
    local p = Physics(nil, nil, nil, nil, 0, 10)
    for i = 1, 6 do
        local e = p:createEntity({}, math.random(-10, 10), math.random(-10, 10))
        p:addBoxShape(e, {width = 1, height = 1, density = 1})
        p:activateEntity(e)
    end
    return p
end

hook.add("gameInit", function()
    worlds = {fresh(), fresh(), Physics(0, 0, 0, 0, 0/0, 0)}
end)

hook.add("frameUpdate", function()
    frames = frames + 1
    for i = 1, 1500 do
        local p = worlds[math.random(1, #worlds)]
        local name = methods[math.random(1, #methods)]
        local n = math.random(0, 8)
        local args = {}
        for k = 1, n do
            args[k] = (k <= 2 and math.random() < 0.6) and math.random(-1, 8) or pick()
        end
        pcall(p[name], p, unpack(args, 1, n))
    end
    for _, p in ipairs(worlds) do p:update() end
    worlds[math.random(1, 2)] = fresh()
    collectgarbage()
    if frames == 10 then print("fuzz frame 10 done") end
end)

hook.add("gameClose", function()
    worlds = nil
    collectgarbage()
    print("closed")
end)
