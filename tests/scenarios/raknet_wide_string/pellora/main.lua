-- A wide string written into a packet reads back as the same text, and a
-- read past the end gives nil.
local r = raknet.create()
r:createPacket(133)
r:writeWideString(WChar("Zo\195\171 \226\130\172"))
print("id " .. r:readByte())
print("text " .. tostring(r:readWideString()))
print("past the end " .. tostring(r:readWideString()))
hook.add("frameUpdate", function() end)
