-- "second.lua" is looked up next to this file, in lib/.
return "first+" .. dofile("second.lua")
