-- A light picture, a line on the console, and an error at the tenth update.
local n = 0
hook.add("frameUpdate", function()
    n = n + 1
    if n == 10 then error("boom at update " .. n) end
end)
hook.add("frameRender", function()
    video.clearScreen(240, 240, 230)
    video.renderRectangle(100, 100, 300, 200, 255, 250, 220, 120)
end)
print("hello on a light background")
