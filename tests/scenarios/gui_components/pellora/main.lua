-- The gui table: creating and removing components, colours, methods of other
-- kinds, and callbacks from injected clicks (see the events file).
local function show(...)
    local parts = {}
    for i = 1, select("#", ...) do parts[#parts + 1] = tostring((select(i, ...))) end
    print(table.concat(parts, " "))
end

local types = { "label", "button", "checkbox", "combobox", "radiolist", "editbox", "window", "frame",
    "dframe", "layout", "tabrow", "listbox", "vscroll", "hscroll", "clickarea", "modal" }

local pass = 0
local selfRemoved

hook.add("gameInit", function()
    show("empty space", gui.isElementAt(700, 500))
    local title = gui.createComponent("label", nil, "title")
    show("label", type(title), title:getText():length())
    show("remove title", gui.removeComponent("title"), gui.removeComponent("title"))
    show("remove nothing", gui.removeComponent(), gui.removeComponent({}))
    show("bad type", gui.createComponent("slider"))

    local w = gui.createComponent("window", nil, "win")
    gui.createComponent("button", w, "ok")
    gui.createComponent("label", "win")
    show("remove window", gui.removeComponent(w))
    show("kept table", select("#", w:isVisible()) + select("#", w:getText()) +
        select("#", w:getRelativePosition()))

    local l = gui.createComponent("label")
    l:setTextColor(255, 10, 20, 30)
    show("colour", l:getOverrideColor())
    l:setTextColor(511, -1, 266, 30)
    show("colour modulo", l:getOverrideColor())
    show("other kinds", select("#", l:setMax(5)), select("#", l:isChecked()), select("#", l:getPos()),
        select("#", l:addTab(WChar("x"))), select("#", l:getSelection()), select("#", l:isPressed()))
    l:setText(WChar("Hello"), true)
    show("packed", l:getText():toString(), l:getRelativePosition())
    gui.removeComponent(l)

    -- Every type: made, moved, asked something of its own kind, removed.
    for _, name in ipairs(types) do
        local c = gui.createComponent(name)
        local x, y, width, height = c:getRelativePosition()
        c:setRelativePosition(5, 6, 70, 40)
        local _, _, w2, h2 = c:getRelativePosition()
        show("type", name, x, y, width, height, w2, h2, gui.removeComponent(c))
    end

    local combo = gui.createComponent("combobox")
    show("combo", combo:addTextItem(WChar("one")), combo:addTextItem(WChar("two")), combo:getItemCount(),
        combo:getTextItem(1):toString())
    local list = gui.createComponent("listbox")
    list:addTextItem(WChar("first"))
    list:addTextItem("second")
    show("list", list:getItemCount(), list:getTextItem(1):toString(), select("#", list:getTextItem(9)))
    local edit = gui.createComponent("editbox")
    edit:setMaxLength(12)
    edit:setText(WChar("typed"))
    show("edit", edit:getMaxLength(), edit:getText():toString())
    local bar = gui.createComponent("vscroll")
    bar:setMax(50)
    bar:setPos(20)
    show("scroll", bar:getPos())
    local radio = gui.createComponent("radiolist")
    radio:addRadioButton(WChar("a"))
    radio:addRadioButton(WChar("b"))
    radio:setSelection(1)
    show("radio", radio:getItemCount(), radio:getSelection())
    local tabs = gui.createComponent("tabrow")
    show("tabs", tabs:addTab(WChar("One")), tabs:addTab(WChar("Two"), false), tabs:getTabCount(),
        tabs:getTabCaption(1):toString())
    local box = gui.createComponent("checkbox")
    box:setChecked(true)
    show("check", box:isChecked())
    for _, c in ipairs({ combo, list, edit, bar, radio, tabs, box }) do gui.removeComponent(c) end

    -- For the injected clicks.
    local ok = gui.createComponent("button", nil, "ok")
    ok:setRelativePosition(100, 100, 100, 30)
    ok.onClick = function(self) show("ok clicked", self:getText():toString()) end
    ok:setText(WChar("OK"))

    local failing = gui.createComponent("button")
    failing:setRelativePosition(100, 150, 100, 30)
    failing.onClick = function() error("boom") end

    local quiet = gui.createComponent("button")
    quiet:setRelativePosition(100, 200, 100, 30)

    local leaving = gui.createComponent("button")
    leaving:setRelativePosition(100, 250, 100, 30)
    leaving.onClick = function(self)
        self:remove()
        show("removing", self:isVisible(), gui.isElementAt(150, 265))
        selfRemoved = pass
    end

    local area = gui.createComponent("clickarea")
    area:setRelativePosition(300, 300, 100, 100)
    area.onClick = function(self, button, pressed) show("area", button, pressed) end

    local field = gui.createComponent("editbox")
    field:setRelativePosition(300, 100, 150, 24)
    field.onBlur = function() show("BLUR") end
    field.onChange = function(self) show("typed", self:getText():toString()) end
    field:setFocus()
end)

hook.add("frameUpdate", function()
    pass = pass + 1
    -- The request is delivered at the end of the pass of the click.
    if selfRemoved and pass == selfRemoved + 1 then
        show("before delivery", gui.isElementAt(150, 265))
    elseif selfRemoved and pass == selfRemoved + 2 then
        show("after delivery", gui.isElementAt(150, 265))
    end
end)

hook.add("keyPress", function(key) show("key reached the game", key) end)
hook.add("mouseButton", function(x, y) show("mouse reached the game", x, y) end)
