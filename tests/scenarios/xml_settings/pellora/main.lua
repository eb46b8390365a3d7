-- A game keeps its settings in an XML file in the user folder: it writes
-- them, reads the file back node by node, and rebuilds the same settings.
local settings = {
    volume = 0.75,
    fullscreen = false,
    name = 'Zo\195\171 "Z" & <co>',
    motto = "a < b && c > d",
    keys = {{"left", 0x25}, {"right", 0x27}, {"jump", 0x20}},
}

local folder = kelvo.getUserFolderPath("XMLGame")
print("user folder: " .. folder)
local FILE = "$USERDATA$/XMLGame/settings.xml"

local w = XMLWriter(FILE)
print("writer ok: " .. tostring(w:isOk()))
w:writeXMLHeader()
w:writeComment(" game settings ")
w:writeLineBreak()
w:writeElement("settings", false, "version", 3)
w:writeLineBreak()
w:writeElement("sound", true, "volume", settings.volume)
w:writeLineBreak()
w:writeElement("screen", true, "fullscreen", settings.fullscreen and 1 or 0)
w:writeLineBreak()
w:writeElement("player", false, "name", settings.name)
w:writeText(settings.motto)
w:writeClosingTag("player")
w:writeLineBreak()
w:writeElement("keys")
w:writeLineBreak()
for _, key in ipairs(settings.keys) do
    w:writeElement("key", true, "action", key[1], "code", key[2])
    w:writeLineBreak()
end
w:writeClosingTag("keys")
w:writeLineBreak()
w:writeClosingTag("settings")
w:writeLineBreak()
w:close()

local contents = kelvo.getFolderContents(folder, "*.xml")
print("saved: " .. table.concat(contents, " "))
local raw = ReadFile(FILE)
print(string.format("first bytes: %02X %02X", raw:readByte(), raw:readByte()))
raw:close()

local names = {[XMLReader.ELEMENT] = "element", [XMLReader.ELEMENT_END] = "end",
               [XMLReader.TEXT] = "text", [XMLReader.COMMENT] = "comment",
               [XMLReader.CDATA] = "cdata"}
local loaded = {keys = {}}
local r = XMLReader(FILE)
local inside
while r:read() do
    local kind, name = r:getNodeType(), r:getNodeName()
    local line = "node " .. names[kind] .. " " .. name
    for i = 1, r:getAttributeCount() do
        line = line .. " " .. r:getAttributeName(i) .. "=" .. r:getAttributeValue(i)
    end
    if r:isEmptyElement() then line = line .. " (empty)" end
    print(line)
    if kind == XMLReader.ELEMENT then
        if name == "sound" then
            loaded.volume = r:getAttributeFloat("volume")
        elseif name == "screen" then
            loaded.fullscreen = r:getAttributeInt("fullscreen") ~= 0
        elseif name == "player" then
            loaded.name = r:findAttributeValue("name")
        elseif name == "key" then
            loaded.keys[#loaded.keys + 1] = {r:getAttributeValue("action"),
                                             r:getAttributeInt("code")}
        end
        if not r:isEmptyElement() then inside = name end
    elseif kind == XMLReader.TEXT and inside == "player" then
        loaded.motto = r:getNodeText()
    end
end
print("after the end: " .. r:getNodeType())

local same = loaded.volume == settings.volume and loaded.fullscreen == settings.fullscreen
    and loaded.name == settings.name and loaded.motto == settings.motto
    and #loaded.keys == #settings.keys
for i, key in ipairs(settings.keys) do
    same = same and loaded.keys[i][1] == key[1] and loaded.keys[i][2] == key[2]
end
print("settings read back: " .. tostring(same))

-- A file broken by hand reads as no node at all.
local broken = WriteFile("$USERDATA$/XMLGame/broken.xml")
broken:writeString("<settings>\n  <sound volume='1'>\n</settings>")
broken:close()
print("broken file reads: " .. tostring(XMLReader("$USERDATA$/XMLGame/broken.xml"):read()))
print("missing file: " .. tostring(XMLReader("$USERDATA$/XMLGame/none.xml"):isOk()))
