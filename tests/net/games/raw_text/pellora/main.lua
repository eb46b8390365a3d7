-- A raw net object against a plain TCP text server (the test driver): it
-- sends "hello" once connected, prints every chunk it receives and answers
-- the second with a text holding a zero byte. The server closing ends it.
local c = dofile("../../common.lua")
local raw, chunks = nil, 0

hook.add("gameInit", function()
    raw = net.createDevice(true)
    print("raw startHost " .. tostring(raw:startHost("raw", "Raw", 0)))
    function raw:onConnect(id)
        print("onConnect " .. id)
        self:sendPacket(1000, 1, {"not in raw mode"})
        self:broadcastPacket(1, {"nor this"})
        self:sendData("hello")
    end
    function raw:onData(text)
        chunks = chunks + 1
        print(string.format("onData %d bytes: %s", #text, text))
        if chunks == 2 then self:sendData("bye\0not sent") end
    end
    function raw:onDisconnect()
        print("onDisconnect")
        kelvo.exitGame()
    end
    function raw:onFail(reason) print("onFail " .. reason) end
    raw:joinHost("ignored", "ignored", "127.0.0.1", c.port)
end)
hook.add("frameUpdate", function()
    c.nap(2)
    c.limit(30)
end)
