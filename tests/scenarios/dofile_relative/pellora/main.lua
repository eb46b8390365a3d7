-- dofile names are relative to the folder of the calling script.
local v = dofile("lib/first.lua")
print("main got " .. v)
print("same folder: " .. dofile("sibling.lua"))
local ok, err = pcall(dofile, "missing.lua")
print("missing: " .. tostring(ok) .. " " .. tostring(err))
