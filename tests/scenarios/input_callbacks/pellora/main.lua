-- Keys, characters, mouse buttons, clicks and the wheel reach the script.
hook.add("keyPress", function(k) print("keyPress " .. k .. " down " .. tostring(kelvo.isKeyPressed(k))) end)
hook.add("keyCharacter", function(c) print("keyCharacter " .. c) end)
hook.add("mouseButton", function(x, y, b, clicks)
    print(string.format("mouseButton %d %d %d %d held %s", x, y, b, clicks,
        tostring(kelvo.isMouseButtonPressed(b))))
end)
local checked = false
hook.add("frameUpdate", function()
    if not checked and kelvo.getMousePosition() == 30 then
        local x, y = kelvo.getMousePosition()
        print("mouse at " .. x .. " " .. y .. " left " .. tostring(kelvo.isMouseButtonPressed(0)))
        checked = true
    end
end)
hook.add("gameClose", function()
    print("after: key " .. tostring(kelvo.isKeyPressed(0x52)) .. " " .. tostring(kelvo.isKeyPressed(300))
        .. " " .. tostring(kelvo.isKeyPressed()) .. " button " .. tostring(kelvo.isMouseButtonPressed(7)))
end)
