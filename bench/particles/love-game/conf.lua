function love.conf(t)
    t.window.width = 800
    t.window.height = 600
    t.window.vsync = 0
    t.window.title = "particles"
end
