-- A machine without a sound device: every call answers, nothing plays.
hook.add("gameInit", function()
    print("duration " .. audio.getSoundDuration("tone.ogg"))
    print("play " .. tostring(audio.playSound("tone.ogg")))
    print("oriented " .. tostring(audio.playOrientedSound("beep.ogg", 1, 1, 1, 2, 3)))
    print("tracked " .. audio.startTrackedSound("tone.ogg"))
    print("update " .. audio.updateTrackedSound(1))
    audio.playLoopSound("tone.ogg")
    audio.playMusic("tone.ogg", 1, true)
    audio.playVoice("beep.ogg")
    print("music " .. tostring(audio.updateMusic("tone.ogg", 1)))
end)
local frames = 0
hook.add("frameUpdate", function()
    frames = frames + 1
    if frames == 3 then print("done") end
end)
