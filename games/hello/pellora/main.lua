-- The smallest Pellora game: it says hello from every callback, counts the
-- frames, and shows that a failing callback leaves the others running.
local frames = 0
local elapsed = 0

function gameInit()
    print("Hello from gameInit! Pellora " .. table.concat({kelvo.getVersion()}, "."))
end

function frameUpdate(dt)
    frames = frames + 1
    elapsed = elapsed + dt
    if frames % 60 == 1 then
        print(string.format("frameUpdate: frame %d, %.2f s", frames, elapsed))
    end
end

function frameRender()
    if frames % 60 == 1 then
        print("frameRender: frame " .. frames)
    end
end

function keyPress(key)
    print("keyPress: " .. key)
    if key == 0x45 then -- E: make a deliberate error; Ctrl+R restarts
        error("you pressed E")
    end
end

function gameClose()
    print("gameClose after " .. frames .. " frames")
end

hook.add("gameInit", gameInit)
hook.add("frameUpdate", frameUpdate)
hook.add("frameRender", frameRender)
hook.add("keyPress", keyPress)
hook.add("gameClose", gameClose)
