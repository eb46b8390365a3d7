-- Every function of the audio table with missing, wrong-typed, NaN and huge
-- arguments. Each case prints its label and what came back (or which
-- argument the runtime refused); nothing may stop the program.
local nan, inf, huge = 0/0, 1/0, 1e300
local none = {}

local function show(...)
    if select("#", ...) == 0 then
        return "(nothing)"
    end
    local parts = {}
    for i = 1, select("#", ...) do
        local v = select(i, ...)
        if type(v) == "number" and v == math.floor(v) then
            parts[#parts + 1] = string.format("%d", v)
        elseif type(v) == "number" then
            parts[#parts + 1] = string.format("%.2f", v)
        else
            parts[#parts + 1] = tostring(v)
        end
    end
    return table.concat(parts, " ")
end

local function report(label, ok, ...)
    if ok then
        print(label .. ": " .. show(...))
    else
        local message = tostring((...))
        print(label .. ": error " .. (message:match("bad argument #%d+") or message))
    end
end

local function try(label, f, ...)
    report(label, pcall(f, ...))
end

hook.add("gameInit", function()
    local a = audio
    try("loadSound none", a.loadSound)
    try("loadSound table", a.loadSound, none)
    try("loadSound nan", a.loadSound, nan)
    try("loadSound good", a.loadSound, "tone.ogg")

    try("playSound none", a.playSound)
    try("playSound table", a.playSound, none)
    try("playSound gain string", a.playSound, "tone.ogg", "loud")
    try("playSound nan", a.playSound, "tone.ogg", nan, nan, nan)
    try("playSound huge", a.playSound, "beep.ogg", huge, -huge, inf)

    try("playOrientedSound none", a.playOrientedSound)
    try("playOrientedSound table", a.playOrientedSound, "tone.ogg", none)
    try("playOrientedSound nan", a.playOrientedSound, "tone.ogg", nan, nan, nan, nan, nan, nan, nan, nan)
    try("playOrientedSound huge", a.playOrientedSound, "beep.ogg", huge, huge, huge, -huge, inf, -inf, huge, huge)

    try("startTrackedSound none", a.startTrackedSound)
    try("startTrackedSound table", a.startTrackedSound, none)
    try("startTrackedSound negative gain", a.startTrackedSound, "tone.ogg", -1)
    try("startTrackedSound nan pitch", a.startTrackedSound, "tone.ogg", 1, nan)
    try("startTrackedSound nan offset", a.startTrackedSound, "tone.ogg", 1, 1, 0, 0, 0, 0, 0, 0, nan)
    try("startTrackedSound huge", a.startTrackedSound, "tone.ogg", huge, huge, huge, -huge, inf, huge, huge, huge, huge)
    try("startTrackedSound offset 5", a.startTrackedSound, "tone.ogg", 1, 1, 0, 0, 0, 0, 0, 0, 5)
    try("startTrackedSound missing", a.startTrackedSound, "missing.ogg")

    try("updateTrackedSound none", a.updateTrackedSound)
    try("updateTrackedSound table", a.updateTrackedSound, none)
    try("updateTrackedSound nan id", a.updateTrackedSound, nan)
    try("updateTrackedSound huge id", a.updateTrackedSound, huge)
    try("updateTrackedSound nan", a.updateTrackedSound, 1, nan, nan, nan, nan, nan, nan, nan, nan)
    try("updateTrackedSound negative", a.updateTrackedSound, 1, -1, -1)
    try("updateTrackedSound huge", a.updateTrackedSound, 1, huge, huge, huge, -huge, inf, huge, huge, huge)

    try("stopTrackedSound none", a.stopTrackedSound)
    try("stopTrackedSound table", a.stopTrackedSound, none)
    try("stopTrackedSound nan", a.stopTrackedSound, nan)
    try("stopTrackedSound huge", a.stopTrackedSound, -huge)

    try("playLoopSound none", a.playLoopSound)
    try("playLoopSound table", a.playLoopSound, "tone.ogg", none)
    try("playLoopSound nan", a.playLoopSound, "tone.ogg", nan, nan, nan, nan)
    try("playLoopSound huge", a.playLoopSound, "beep.ogg", huge, huge, huge, huge)
    try("stopLoopSound none", a.stopLoopSound)
    try("stopLoopSound table", a.stopLoopSound, none)
    try("stopLoopSound nan", a.stopLoopSound, nan)
    try("stopLoopSound good", a.stopLoopSound, "beep.ogg")

    try("playMusic none", a.playMusic)
    try("playMusic table", a.playMusic, "tone.ogg", none)
    try("playMusic nan", a.playMusic, "tone.ogg", nan, nan)
    try("playMusic huge", a.playMusic, "beep.ogg", huge, huge)
    try("updateMusic none", a.updateMusic)
    try("updateMusic one", a.updateMusic, "tone.ogg")
    try("updateMusic table", a.updateMusic, "tone.ogg", none)
    try("updateMusic nan", a.updateMusic, "tone.ogg", nan)
    try("updateMusic huge", a.updateMusic, "beep.ogg", -huge)
    try("updateMusic unknown", a.updateMusic, "other.ogg", 1)
    try("stopMusic none", a.stopMusic)
    try("stopMusic table", a.stopMusic, none)
    try("stopMusic good", a.stopMusic, "tone.ogg")
    try("stopAllMusic extra", a.stopAllMusic, nan, none)

    try("playVoice none", a.playVoice)
    try("playVoice table", a.playVoice, none)
    try("playVoice nan", a.playVoice, "beep.ogg", nan)
    try("playVoice keep", a.playVoice, "tone.ogg", false)

    try("setSoundListenerPosition two", a.setSoundListenerPosition, 1, 2)
    try("setSoundListenerPosition table", a.setSoundListenerPosition, 1, none, 3)
    try("setSoundListenerPosition nan", a.setSoundListenerPosition, nan, nan, nan, nan, nan, nan)
    try("setSoundListenerPosition huge", a.setSoundListenerPosition, huge, -huge, inf, huge, huge, huge)
    try("setSoundListenerOrientation five", a.setSoundListenerOrientation, 0, 0, 1, 0, -1)
    try("setSoundListenerOrientation table", a.setSoundListenerOrientation, 0, 0, 1, 0, -1, none)
    try("setSoundListenerOrientation nan", a.setSoundListenerOrientation, nan, nan, nan, nan, nan, nan)
    try("setSoundListenerOrientation huge", a.setSoundListenerOrientation, huge, huge, huge, -inf, inf, huge)

    try("setGlobalPitch none", a.setGlobalPitch)
    try("setGlobalPitch table", a.setGlobalPitch, none)
    try("setGlobalPitch nan", a.setGlobalPitch, nan)
    try("setGlobalPitch huge", a.setGlobalPitch, huge)
    try("setGlobalPitch negative", a.setGlobalPitch, -huge)
    try("playSound at pitch 0", a.playSound, "tone.ogg", 1, 0, 1)
    try("setGlobalPitch back", a.setGlobalPitch, 1)
    try("setMusicHasGlobalPitch none", a.setMusicHasGlobalPitch)
    try("setMusicHasGlobalPitch table", a.setMusicHasGlobalPitch, none)
    try("setMusicHasGlobalPitch nan", a.setMusicHasGlobalPitch, nan)
    try("setGlobalRolloffFactor none", a.setGlobalRolloffFactor)
    try("setGlobalRolloffFactor table", a.setGlobalRolloffFactor, none)
    try("setGlobalRolloffFactor nan", a.setGlobalRolloffFactor, nan)
    try("setGlobalRolloffFactor huge", a.setGlobalRolloffFactor, -huge)
    try("setOpenAlDistanceModel none", a.setOpenAlDistanceModel)
    try("setOpenAlDistanceModel table", a.setOpenAlDistanceModel, none)
    try("setOpenAlDistanceModel nan", a.setOpenAlDistanceModel, nan)
    try("setOpenAlDistanceModel huge", a.setOpenAlDistanceModel, huge)
    try("setOpenAlDistanceModel 3", a.setOpenAlDistanceModel, 3)
    try("setOrientedSoundCone one", a.setOrientedSoundCone, 30)
    try("setOrientedSoundCone table", a.setOrientedSoundCone, 30, none)
    try("setOrientedSoundCone nan", a.setOrientedSoundCone, nan, nan, nan, nan, nan)
    try("setOrientedSoundCone huge", a.setOrientedSoundCone, huge, -huge, huge, inf, -inf)
    try("playOrientedSound in cone", a.playOrientedSound, "beep.ogg", 1, 1, 1, 2, 3)
    try("setSoundPriority none", a.setSoundPriority)
    try("setSoundPriority table", a.setSoundPriority, none)
    try("setSoundPriority nan", a.setSoundPriority, nan)
    try("setSoundPriority huge", a.setSoundPriority, huge)

    try("getSoundDuration none", a.getSoundDuration)
    try("getSoundDuration table", a.getSoundDuration, none)
    try("getSoundDuration nan", a.getSoundDuration, nan)
    try("getSoundDuration good", a.getSoundDuration, "tone.ogg")

    try("playMusic stream", a.playMusic, "tone.ogg", 0.5, true)
end)

local frames = 0
hook.add("frameUpdate", function(dt)
    frames = frames + 1
    if frames == 5 then
        print("music still playing: " .. tostring(audio.updateMusic("tone.ogg", 0.7)))
        print("done")
    end
end)
