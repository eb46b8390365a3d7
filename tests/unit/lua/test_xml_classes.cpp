// XMLReader and XMLWriter over the real file system: what a script writes
// is checked unit by unit on disk, and read back node by node.
#include "LuaTestState.h"
#include "core/Utf16.h"
#include "io/IoTestSupport.h"
#include "io/CFileSystem.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/CLuaXMLLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

using iotest::readDiskFile;
using iotest::writeDiskFile;

// A UTF-16 file with its mark, as UTF-8 text ("" without the mark, "odd"
// for an odd size).
std::string decodeUtf16File(const std::string& bytes)
{
    if (bytes.size() % 2) return "odd";
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return "";
    std::u16string units;
    for (size_t i = 2; i < bytes.size(); i += 2)
        units += char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    return zu::core::utf16ToUtf8(units.data(), units.size()).str();
}

// Reads a file node by node in the script and lists what it found.
const char* const kListNodes = R"(
function list(path)
    local r = XMLReader(path)
    local out = {}
    while r:read() do
        local t, item = r:getNodeType(), nil
        if t == XMLReader.ELEMENT then
            item = "<" .. r:getNodeName()
            for i = 1, r:getAttributeCount() do
                item = item .. " " .. r:getAttributeName(i) .. "=" .. r:getAttributeValue(i)
            end
            item = item .. (r:isEmptyElement() and "/>" or ">")
        elseif t == XMLReader.ELEMENT_END then
            item = "</" .. r:getNodeName() .. ">"
        elseif t == XMLReader.TEXT then
            item = "text:" .. r:getNodeText()
        elseif t == XMLReader.COMMENT then
            item = "comment:" .. r:getNodeText()
        elseif t == XMLReader.CDATA then
            item = "cdata:" .. r:getNodeText()
        end
        out[#out + 1] = item
    end
    out[#out + 1] = "type " .. r:getNodeType()
    return table.concat(out, "|")
end
)";

class XMLClasses : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        dir = iotest::makeScratchFolder("luaxml");
        ASSERT_FALSE(dir.empty());
        fs = new kelvo::io::CFileSystem();
        fs->addDirAlias("$USERDATA$", dir);
        library = new zu::lua::CLuaFileLibrary(fs);
        state = new luatest::CState();
        library->install(state->L);
        zu::lua::CLuaXMLLibrary::install(state->L);
        ASSERT_EQ("", run(kListNodes));
    }
    void TearDown() override
    {
        delete state;
        delete library;
        if (fs) fs->drop();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string run(const std::string& chunk) { return state->run(chunk); }

    std::string dir;
    kelvo::io::CFileSystem* fs = nullptr;
    zu::lua::CLuaFileLibrary* library = nullptr;
    luatest::CState* state = nullptr;
};

TEST_F(XMLClasses, WritesExactlyWhatTheScriptSays)
{
    struct Case
    {
        const char* writes;
        const char* text; // the file's text after its byte-order mark
    };
    const Case cases[] = {
        {"w:writeXMLHeader()", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"},
        {"w:writeElement('a', true)", "<a />"},
        {"w:writeElement('a') w:writeText('x') w:writeClosingTag('a')", "<a>x</a>"},
        {"w:writeElement('a', 1)", "<a />"},
        {"w:writeElement('e', false, 'n', 3, 'f', 2.5, 'nil', nil, nil, 'v', 's', 'caf\xC3\xA9')",
         "<e n=\"3\" f=\"2.5\" s=\"caf\xC3\xA9\">"},
        {"w:writeElement('e', true, 'a', 1, 'b', 2, 'c', 3, 'd', 4, 'e', 5, 'f', 6)",
         "<e a=\"1\" b=\"2\" c=\"3\" d=\"4\" e=\"5\" />"},
        {"w:writeElement('e', true, 'v', 'a&b\"<c>\\n')", "<e v=\"a&amp;b&quot;&lt;c>&#10;\" />"},
        {"w:writeText('<&>\"\\'') w:writeText() w:writeText(nil)", "&lt;&amp;&gt;&quot;'"},
        {"w:writeText('cut\\0here')", "cut"},
        {"w:writeText('\\255ok')", "\xEF\xBF\xBDok"},
        {"w:writeComment(' c ') w:writeComment() w:writeLineBreak()", "<!-- c -->\n"},
        {"w:writeElement() w:writeElement(nil, true) w:writeClosingTag()", ""},
        {"w:writeText('\xF0\x9D\x84\x9E') w:writeText(12)", "\xF0\x9D\x84\x9E"
                                                            "12"},
        // After close nothing is written any more.
        {"w:writeText('a') w:close() w:writeText('b') w:writeXMLHeader()", "a"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ("false", run(std::string("local w = XMLWriter('$USERDATA$/w.xml') ") +
                               "w:writeXMLHeader() " + c.writes + " w:close() return w:isOk()"))
            << c.writes;
        std::string text = decodeUtf16File(readDiskFile(dir + "/w.xml"));
        const std::string header = "<?xml version=\"1.0\"?>\n";
        ASSERT_EQ(header, text.substr(0, header.size())) << c.writes;
        EXPECT_EQ(c.text, text.substr(header.size())) << c.writes;
    }
}

TEST_F(XMLClasses, ASettingsFileReadsBackNodeByNode)
{
    EXPECT_EQ("", run(R"(
        local w = XMLWriter("$USERDATA$/settings.xml")
        w:writeXMLHeader()
        w:writeComment(" game settings ")
        w:writeLineBreak()
        w:writeElement("settings", false, "version", 2)
        w:writeLineBreak()
        w:writeElement("sound", true, "volume", 0.75, "muted", 0)
        w:writeLineBreak()
        w:writeElement("player", false, "name", 'Zo\195\171 "Z" & co')
        w:writeText("likes <cats> & dogs")
        w:writeClosingTag("player")
        w:writeLineBreak()
        w:writeClosingTag("settings")
        w:close()
    )"));
    EXPECT_EQ("comment: game settings |<settings version=2>|<sound volume=0.75 muted=0/>|"
              "<player name=Zo\xC3\xAB \"Z\" & co>|text:likes <cats> & dogs|</player>|"
              "</settings>|type 0",
              run("return list('$USERDATA$/settings.xml')"));
    EXPECT_EQ("0.75,0,0,Zo\xC3\xAB \"Z\" & co,,", run(R"(
        local r = XMLReader("$USERDATA$/settings.xml")
        repeat r:read() until r:getNodeName() == "sound"
        local volume, muted, none = r:getAttributeFloat("volume"), r:getAttributeInt("muted"),
                                    r:getAttributeInt("none")
        r:read()
        return volume, muted, none, r:findAttributeValue("name"), r:getAttributeValue("Name"),
               r:getAttributeName(2)
    )"));
}

TEST_F(XMLClasses, ReadsFilesMadeElsewhere)
{
    struct Case
    {
        std::string bytes;
        const char* nodes;
    };
    const Case cases[] = {
        {"<a x='1'>t<![CDATA[<c>]]><b/></a>", "<a x=1>|text:t|cdata:<c>|<b/>|</a>|type 0"},
        {"\xEF\xBB\xBF<a>\xC3\xA9</a>", "<a>|text:\xC3\xA9|</a>|type 0"},
        {std::string("\xFF\xFE<\0a\0/\0>\0", 10), "<a/>|type 0"},
        {std::string("\xFE\xFF\0<\0a\0/\0>", 10), "<a/>|type 0"},
        {"<a><b></a>", "type 0"},
        {"", "type 0"},
    };
    for (const Case& c : cases)
    {
        writeDiskFile(dir + "/in.xml", c.bytes);
        EXPECT_EQ(c.nodes, run("return list('$USERDATA$/in.xml')")) << c.bytes;
    }
}

TEST_F(XMLClasses, WithoutAFile)
{
    EXPECT_EQ("false,false,0,,,false,0,,,0,0,false", run(R"(
        local r = XMLReader("$USERDATA$/missing.xml")
        return r:isOk(), r:read(), r:getNodeType(), r:getNodeName(), r:getNodeText(),
               r:isEmptyElement(), r:getAttributeCount(), r:getAttributeName(1),
               r:getAttributeValue("a"), r:getAttributeInt("a"), r:getAttributeFloat("a"),
               XMLWriter("$USERDATA$/no/folder/x.xml"):isOk()
    )"));
    writeDiskFile(dir + "/in.xml", "<a/>");
    EXPECT_EQ("true,false,false",
              run("local r = XMLReader('$USERDATA$/in.xml') local ok = r:isOk() r:close() "
                  "return ok, r:isOk(), r:read()"));
}

TEST_F(XMLClasses, AttributeIndicesStartAtOne)
{
    writeDiskFile(dir + "/in.xml", "<a first='1' second='2'/>");
    EXPECT_EQ(",first,second,,1,2,,,", run(R"(
        local r = XMLReader("$USERDATA$/in.xml")
        r:read()
        return r:getAttributeName(0), r:getAttributeName(1), r:getAttributeName(2),
               r:getAttributeName(3), r:getAttributeValue(1), r:getAttributeValue(2.9),
               r:getAttributeValue(-1), r:getAttributeValue(2^40), r:getAttributeValue(0/0)
    )"));
}

TEST_F(XMLClasses, NodeTypesAreFieldsOfTheClass)
{
    EXPECT_EQ("0,1,2,3,4,5", run("return XMLReader.NONE, XMLReader.ELEMENT, "
                                 "XMLReader.ELEMENT_END, XMLReader.TEXT, XMLReader.COMMENT, "
                                 "XMLReader.CDATA"));
}

TEST_F(XMLClasses, ArgumentsOfTheWrongTypeRaise)
{
    writeDiskFile(dir + "/in.xml", "<a/>");
    // A method counts its object as argument #1, as the runtime does.
    struct Case
    {
        const char* chunk;
        const char* error;
    };
    const Case cases[] = {
        {"return XMLReader()", "error:bad argument #1 to 'XMLReader' (string expected"},
        {"return XMLReader({})", "error:bad argument #1 to 'XMLReader' (string expected"},
        {"return XMLWriter(true)", "error:bad argument #1 to 'XMLWriter' (string expected"},
        {"return XMLReader('$USERDATA$/in.xml'):getAttributeName('x')",
         "error:bad argument #2 to 'getAttributeName' (number expected"},
        {"return XMLReader('$USERDATA$/in.xml'):getAttributeInt()",
         "error:bad argument #2 to 'getAttributeInt' (string expected"},
        {"return XMLReader('$USERDATA$/in.xml'):getAttributeValue({})",
         "error:bad argument #2 to 'getAttributeValue' (string expected"},
        {"return XMLWriter('$USERDATA$/w.xml'):writeElement({})",
         "error:bad argument #2 to 'writeElement' (string expected"},
        {"return XMLWriter('$USERDATA$/w.xml'):writeElement('a', false, 'b', true)",
         "error:bad argument #5 to 'writeElement' (string expected, got boolean"},
        {"return XMLWriter('$USERDATA$/w.xml'):writeText({})",
         "error:bad argument #2 to 'writeText' (string expected"},
        {"return XMLWriter.writeText(XMLReader('$USERDATA$/in.xml'), 'x')",
         "error:XMLWriter expected"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(luatest::matches(run(c.chunk), c.error)) << c.chunk << "\n" << run(c.chunk);
}

TEST_F(XMLClasses, CollectedWritersFinishTheirFile)
{
    EXPECT_EQ("", run("do local w = XMLWriter('$USERDATA$/gc.xml') w:writeXMLHeader() "
                      "w:writeElement('a', true) end collectgarbage() collectgarbage()"));
    EXPECT_EQ("<a/>|type 0", run("return list('$USERDATA$/gc.xml')"));
}

} // namespace
