-- Particles across a restart: the count starts at 0 again, the same cached
-- package is loaded, and the definitions' sounds reach the audio driver
-- (the missing one says so once a particle).
local fx, frame = nil, 0

hook.add("gameInit", function()
    audio.setGlobalRolloffFactor(0)
    fx = particles.load("effects.par", "demo.spr")
    print(string.format("loaded %s with %d live", tostring(fx), particles.getCount()))
    for i = 1, 3 do particles.spawn(fx, "ringing", 100 * i, 100) end
    particles.spawn(fx, "chiming", 400, 300)
end)

hook.add("frameUpdate", function(dt)
    frame = frame + 1
    particles.update(dt)
    if frame == 2 then print("live " .. particles.getCount()) end
end)

hook.add("frameRender", function() particles.render() end)
