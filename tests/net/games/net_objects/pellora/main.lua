-- The lives of net objects, in one runtime whose built-in session hosts and
-- sends every client five packets a frame. Object A is dropped and collected
-- while the packets keep coming; object B disconnects from its own onPacket;
-- then 1,000 objects are made in a loop (half of them hosting, the rest in
-- raw mode), dropped and collected, and the threads and descriptors of the
-- process are counted before and after.
local c = dofile("../../common.lua")
local frame, step = 0, "A"
local a, b, aPackets, bPackets, gone = nil, nil, 0, 0, {}
local threads, descriptors

local function join(name, onPacket)
    local d = net.createDevice()
    d.onPacket = onPacket
    function d:onConnect(id) print(name .. " onConnect " .. id) end
    d:joinHost("objects", name, "127.0.0.1", c.port)
    return d
end

hook.add("gameInit", function()
    kelvo.startHost("objects", "Host", c.port)
    a = join("A", function() aPackets = aPackets + 1 end)
end)
hook.add("clientDisconnected", function(id)
    print("clientDisconnected " .. id)
    gone[id] = true
end)

local steps = {}
function steps.A()
    if aPackets >= 20 then
        print("dropping A after " .. aPackets .. " packets")
        a = nil
        collectgarbage()
        collectgarbage()
        return "A gone"
    end
end
steps["A gone"] = function()
    if gone[1] then
        b = join("B", function(self)
            bPackets = bPackets + 1
            self:disconnect()
        end)
        return "B"
    end
end
function steps.B()
    if gone[2] then
        print("B received " .. bPackets .. " packet")
        threads, descriptors = c.threads(), c.descriptors()
        for i = 1, 1000 do
            local d = net.createDevice(i % 2 == 0)
            if i % 2 == 1 then d:startHost("loop", "L", 0) end
            if i % 100 == 0 then collectgarbage() end
        end
        collectgarbage()
        collectgarbage()
        return "loop"
    end
end
-- The last objects go at the next frame's turn of the net table.
function steps.loop()
    print(string.format("after the loop: %+d threads, %+d descriptors", c.threads() - threads,
                        c.descriptors() - descriptors))
    kelvo.exitGame()
    return "end"
end

hook.add("frameUpdate", function()
    frame = frame + 1
    for i = 1, 5 do kelvo.broadcastPacket(40, {frame, i}) end
    step = steps[step] and steps[step]() or step
    c.nap(2)
    c.limit(40)
end)
