-- The kelvo functions that need no window.
print("version " .. select("#", kelvo.getVersion()) .. " " .. table.concat({kelvo.getVersion()}, "."))
local cases = {
    {0, 0, 10, 10, 0, 10, 10, 0},
    {0, 0, 10, 0, 5, 0, 20, 0},
    {0, 0, 10, 0, 10, 0, 20, 0},
    {0, 0, 1, 2},
}
for _, c in ipairs(cases) do
    local hit, x, y = kelvo.lineIntersects(unpack(c))
    print(string.format("lineIntersects %s %g %g", tostring(hit), x, y))
end
local t = kelvo.getSeconds()
print("seconds is a number: " .. type(t))
local user = kelvo.getUserFolderPath()
print("user folder ends with: " .. user:sub(-21))
local sub = kelvo.getUserFolderPath("saves")
print("sub folder: " .. sub:sub(-27))
print("resources: " .. (kelvo.getResourcesFolderPath("pellora") == kelvo.getResourcesFolderPath() .. "/pellora" and "ok" or "wrong"))
print("no args: " .. #kelvo.getFolderContents())
print("axes without joystick: " .. select("#", kelvo.getJoystickAxises(1)) .. " " .. tostring(kelvo.getJoystickAxises(1, 1)))
print(nil)
print(true)
print(12.5)
kelvo.print()
kelvo.setWindowTitle()
kelvo.moveWindow()
kelvo.setMousePosition(1)
kelvo.setMouseVisible(false)
kelvo.clearPrint()
print("done")
