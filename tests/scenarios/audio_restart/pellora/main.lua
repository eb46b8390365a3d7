-- Ctrl+R restarts the script; the run state resets the audio driver first:
-- music stops, tracked ids start again at 1, volume levels are full again,
-- the global pitch is 1 and sounds are found beside main.lua.
print("music before start: " .. tostring(audio.updateMusic("tone.ogg", 1)))
hook.add("gameInit", function()
    print("effect played: " .. tostring(audio.playSound("beep.ogg")))
    audio.playMusic("tone.ogg", 1, true)
    print("music after start: " .. tostring(audio.updateMusic("tone.ogg", 1)))
    print("tracked id: " .. audio.startTrackedSound("tone.ogg"))
    print("tracked id: " .. audio.startTrackedSound("tone.ogg"))
    -- Left behind for the next run to undo.
    audio.setGlobalPitch(3)
    audio.setMusicHasGlobalPitch(true)
end)
local passes = 0
hook.add("frameUpdate", function()
    passes = passes + 1
    if passes == 2 then print("music streaming: " .. tostring(audio.updateMusic("tone.ogg", 0.5))) end
end)
