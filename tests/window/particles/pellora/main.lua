-- The pixel test of particles: effects of a package made by
-- pellora-particlepack, spawned at fixed places and passes, updated and drawn
-- each pass with the frame time the run fixes (--fixed-dt).
local fx
local pass = 0

hook.add("gameInit", function()
    fx = particles.load("effects.par", "sprites.spr")
    particles.setGround(170)
    particles.setShadow(2, 3, 0.6)
    -- Water on the right half of the screen.
    particles.setSurfaceFunction(function(x) if x > 128 then return "@Water" end end)
end)

hook.add("frameUpdate", function(dt)
    pass = pass + 1
    if pass == 1 then particles.spawn(fx, "fountain", 60, 165) end
    if pass == 3 then particles.spawn(fx, "ring", 128, 60) end
    if pass == 5 then
        particles.spawn(fx, "puff", 100, 120)
        particles.spawn(fx, "puff", 200, 120)
    end
    particles.update(dt)
end)

hook.add("frameRender", function()
    video.clearScreen(16, 16, 32)
    video.renderRectangle(0, 170, 256, 22, 255, 60, 50, 80)
    video.renderRectangle(128, 120, 128, 2, 255, 40, 90, 160)
    particles.render()
end)
