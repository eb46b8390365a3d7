-- The GUI gallery: every component type of the gui table on one screen, each
-- callback printing what happened. The default skin (skin.spr, packed from
-- ../art at build time) is used unless the game is started with --flat:
--     pellora games/gui-gallery [--flat]
-- title.fnt was made with
--     pellora-fontgen --ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf --size 20 title.fnt
local flat = arg[1] == "--flat"

local function say(...)
    local parts = {}
    for i = 1, select("#", ...) do parts[#parts + 1] = tostring((select(i, ...))) end
    print(table.concat(parts, " "))
end

local function make(kind, parent, x, y, w, h, text, name)
    local c = gui.createComponent(kind, parent, name)
    if w then c:setRelativePosition(x, y, w, h) end
    if text then c:setText(WChar(text)) end
    return c
end

local function openQuestion()
    local shade = gui.createComponent("modal", nil, "shade")
    local box = make("window", shade, 0, 0, 300, 150, "Really quit?")
    box:centerOnParent()
    local cx, cy = box:getContentArea()
    make("label", box, cx + 16, cy + 12, 260, 20, "The gallery closes.")
    local yes = make("button", box, cx + 16, cy + 50, 120, 34, "Quit")
    function yes:onClick() say("quit confirmed") kelvo.exitGame() end
    local no = make("button", box, cx + 150, cy + 50, 120, 34, "Stay")
    function no:onClick() say("quit cancelled") shade:remove() end
end

hook.add("gameInit", function()
    if not flat then
        -- The default skin, with light text to go on its dark panels.
        gui.setSkin("skin.spr")
        gui.setSkinColor(8, 255, 226, 232, 242)  -- text
        gui.setSkinColor(9, 255, 110, 118, 134)  -- disabled text
        gui.setSkinColor(10, 255, 63, 169, 245)  -- selection
        gui.setSkinColor(18, 80, 63, 169, 245)   -- highlighted list row
    end

    local title = make("label", nil, 24, 14, 400, 30, "GUI gallery")
    title:setFont("title.fnt")
    title:setTextColor(255, 120, 196, 250)
    title:packSize()
    local hint = make("label", nil, 24, 44, 520, 20,
        flat and "The skin's flat colours (start without --flat for the default skin)"
        or "The default skin; every callback prints what happened")
    hint:setTextColor(255, 160, 170, 190)

    -- Options: a window with a check box, a combo box, a radio list, an edit
    -- box, a scroll bar and a button.
    local options = make("window", nil, 24, 76, 330, 372, "Options", "options")
    local x, y = options:getContentArea()
    x = x + 14
    local sound = make("checkbox", options, x, y + 12, 200, 22, "Sound effects")
    sound:setChecked(true)
    function sound:onChange() say("sound", self:isChecked()) end
    local full = make("checkbox", options, x, y + 40, 200, 22, "Full screen")
    function full:onChange() say("full screen", self:isChecked()) end

    make("label", options, x, y + 74, 90, 20, "Window size")
    local size = make("combobox", options, x + 110, y + 72, 180, 26)
    for _, s in ipairs({ "800 x 600", "1024 x 768", "1280 x 720" }) do size:addTextItem(WChar(s)) end
    size:setSelected(0)
    function size:onChange() say("size", self:getTextItem(self:getSelected()):toString()) end

    make("label", options, x, y + 110, 90, 20, "Difficulty")
    local level = make("radiolist", options, x + 110, y + 108, 180, 66)
    for _, s in ipairs({ "Relaxed", "Normal", "Frantic" }) do level:addRadioButton(WChar(s)) end
    level:setSelection(1)
    function level:onChange() say("difficulty", self:getSelection()) end

    make("label", options, x, y + 188, 90, 20, "Player")
    local name = make("editbox", options, x + 110, y + 184, 180, 28, "Ann", "player")
    name:setMaxLength(16)
    function name:onChange() say("name typed", self:getText():toString()) end
    function name:onApply() say("name entered", self:getText():toString()) end

    make("label", options, x, y + 228, 90, 20, "Volume")
    local volume = make("hscroll", options, x + 110, y + 230, 180, 14)
    volume:setMax(10)
    volume:setPos(7)
    function volume:onChange() say("volume", self:getPos()) end

    local apply = make("button", options, x + 70, y + 266, 150, 36, "Apply", "apply")
    function apply:onClick() say("apply clicked") end
    name:setAssociatedButton("apply")

    -- Chat: a detachable frame with a tab row, a list box and an edit box.
    local chat = make("dframe", nil, 378, 76, 398, 250, nil, "chat")
    chat:setResizable(true, 200, 120)
    chat:setFadeable(false)
    chat:addMenuOption(WChar("Clear the log"), 1)
    function chat:onPopupClicked() say("chat menu chosen") end
    function chat:onHide() say("chat hidden") end
    local cx, cy, cw, ch = chat:getContentArea()
    local tabs = make("tabrow", chat, cx + 6, cy + 4)
    -- A tab row has no look of its own: it takes the skin's tab images.
    tabs:setAnimations(nil, "TabControl")
    tabs:setWidth(cw - 40)  -- tabs overlap when the row is too narrow for them
    tabs:addTab(WChar("All"), false)
    tabs:addTab(WChar("Team"))
    tabs:addTab(WChar("Whisper"))
    function tabs:onChange() say("tab", self:getActiveTab()) end
    function tabs:onTabClosed(index) say("tab closed", index) end
    local log = make("listbox", chat, cx + 6, cy + 36, cw - 12, ch - 80)
    log:setSelectable(true)
    for _, line in ipairs({ "Ann: hello!", "Bob: ready when you are", "Ann: go" }) do
        log:addTextItem(WChar(line))
    end
    function log:onChange() say("line chosen", self:getSelected()) end
    function log:onRepeat() say("line chosen again", self:getSelected()) end
    local say_box = make("editbox", chat, cx + 6, cy + ch - 36, cw - 12, 28)
    function say_box:onApply()
        log:addTextItem(self:getText())
        say("said", self:getText():toString())
        self:setText(WChar(""))
    end

    -- Scores: a frame with a layout of labels and a vertical scroll bar.
    local scores = make("frame", nil, 378, 340, 398, 108, nil, "scores")
    local sx, sy, sw, sh = scores:getContentArea()
    local rows = gui.createComponent("layout", scores)
    rows:setRelativePosition(sx + 10, sy + 6, sw - 44, sh - 12)
    for _, line in ipairs({ "1.  Ann   4200", "2.  Bob   3900", "3.  Cid   2100" }) do
        make("label", rows, 0, 0, 200, 20, line)
    end
    rows:sortVertically(4, false)
    local bar = make("vscroll", scores, sx + sw - 24, sy + 6, 14, sh - 12)
    bar:setMax(20)
    function bar:onChange() say("scores scrolled", self:getPos()) end

    -- A row of buttons, laid out by a layout.
    local buttons = gui.createComponent("layout", nil, "buttons")
    buttons:setRelativePosition(24, 470, 752, 40)
    local play = make("button", buttons, 0, 0, 150, 36, "Play", "play")
    function play:onClick() say("play clicked") end
    function play:onEnter() say("mouse over play") end
    function play:onLeave() say("mouse left play") end
    local off = make("button", buttons, 0, 0, 150, 36, "Disabled")
    off:setEnabled(false)
    local toggle = make("button", buttons, 0, 0, 150, 36, "Toggle")
    toggle:setIsPushButton(true)
    function toggle:onClick() say("toggle", self:isPressed()) end
    local quit = make("button", buttons, 0, 0, 150, 36, "Quit")
    function quit:onClick() openQuestion() end
    buttons:sortHorizontally(16)

    -- The rest of the screen is a click area.
    local area = make("clickarea", nil, 0, 520, 800, 80)
    function area:onClick(button, pressed) say("click area", button, pressed) end
    make("label", nil, 24, 560, 600, 20, "Click down here: the click area reports every button"):
        setTextColor(255, 120, 130, 150)
end)

hook.add("frameRender", function()
    video.clearScreen(30, 38, 56)
    -- A soft vertical gradient behind the panels.
    for i = 0, 11 do
        video.renderRectangle(0, i * 50, 800, 50, 255, 30 + i * 2, 38 + i, 56 + i * 3)
    end
end)

hook.add("keyPress", function(key) if key == 0x1B then kelvo.exitGame() end end)
