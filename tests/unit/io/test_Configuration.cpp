// The configuration file format.
#include "IoTestSupport.h"

#include "game/CConfiguration.h"
#include "io/CFileSystem.h"

#include <climits>

using iotest::CCapture;
using zu::core::CString;
using zu::game::CConfiguration;

namespace
{

struct Expect
{
    const char* address;
    bool present;
    const char* text;
    int32_t number;
};

struct ParseCase
{
    const char* what;
    std::string text;
    bool accepted;
    std::vector<Expect> expects;
};

void checkDocument(const CConfiguration& config, const std::vector<Expect>& expects)
{
    for (const Expect& e : expects)
    {
        SCOPED_TRACE(e.address);
        EXPECT_EQ(e.present, config.hasKey(e.address));
        CString text("garbage");
        config.getString(e.address, text);
        EXPECT_EQ(std::string(e.text), text.str());
        EXPECT_EQ(e.number, config.getInt(e.address));
    }
}

TEST(Configuration, ParseTable)
{
    const ParseCase cases[] = {
        {"settings block",
         "settings {\n  screenWidth = 1024;\n  vsync = 0;\n}\n",
         true,
         {{"settings:screenWidth", true, "1024", 1024}, {"settings:vsync", true, "0", 0}}},
        {"two blanks after = keep one", "s{ w =  640; }", true, {{"s:w", true, " 640", 640}}},
        {"no blank after =",
         "settings{screenWidth=1024;}",
         true,
         {{"settings:screenWidth", true, "1024", 1024}}},
        {"blanks inside a key vanish",
         "settings {\n screen Width = 800;\n}",
         true,
         {{"settings:screenWidth", true, "800", 800}, {"settings:screen", false, "", 0}}},
        {"digits among letters and signs",
         "n { a = 800px; b = -800; c =  -800; d = 1.5; e = x1y2z3; f = ; }",
         true,
         {{"n:a", true, "800px", 800},
          {"n:b", true, "-800", -800},
          {"n:c", true, " -800", 800},
          {"n:d", true, "1.5", 15},
          {"n:e", true, "x1y2z3", 123},
          {"n:f", true, "", 0}}},
        {"long digit runs saturate",
         "n { big = 1234567890123456789012345678901234567890; small = "
         "-1234567890123456789012345678901234567890; max = 2147483647; min = -2147483648; }",
         true,
         {{"n:big", true, "1234567890123456789012345678901234567890", INT32_MAX},
          {"n:small", true, "-1234567890123456789012345678901234567890", INT32_MIN},
          {"n:max", true, "2147483647", INT32_MAX},
          {"n:min", true, "-2147483648", INT32_MIN}}},
        {"duplicate blocks: only the first is found",
         "a { k = 1; }\na { k = 2; j = 3; }",
         true,
         {{"a:k", true, "1", 1}, {"a:j", false, "", 0}}},
        {"repeated key replaces", "a { k = 1; k = 2; }", true, {{"a:k", true, "2", 2}}},
        {"missing closing brace keeps complete entries",
         "a { k = 1;\n j = 2;\n unfinished = 3",
         true,
         {{"a:k", true, "1", 1}, {"a:j", true, "2", 2}, {"a:unfinished", false, "", 0}}},
        {"comment lines add nothing",
         "# header\na {\n # k = 9;\n k = 1; # trailing\n}\n# b { x = 1; }\n",
         true,
         {{"a:k", true, "1", 1}, {"b:x", false, "", 0}}},
        {"a comment in a value swallows its semicolon, so the value runs on",
         "a {\n k = 12 # note;\n j = 3;\n}",
         true,
         {{"a:k", true, "12 \n j = 3", 123}, {"a:j", false, "", 0}}},
        {"CRLF line ends",
         "a {\r\n w = 1024;\r\n h = 768;\r\n}\r\n",
         true,
         {{"a:w", true, "1024", 1024}, {"a:h", true, "768", 768}}},
        {"values hold any text up to the semicolon",
         "a { path = C:\\x\\y {z} = w; }",
         true,
         {{"a:path", true, "C:\\x\\y {z} = w", 0}}},
        {"case-sensitive lookups; names split at the first colon",
         "Block { Key = v:1; }",
         true,
         {{"block:Key", false, "", 0},
          {"Block:key", false, "", 0},
          {"Block:Key", true, "v:1", 1},
          {"BlockKey", false, "", 0}}},
        {"a zero byte inside the text is an error, keeping what came before",
         std::string("a { k = 1; j = 2", 16) + std::string(1, '\0') + "; l = 3; }",
         false,
         {{"a:k", true, "1", 1}, {"a:j", false, "", 0}, {"a:l", false, "", 0}}},
    };
    for (const ParseCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCapture capture;
        CConfiguration config(nullptr);
        EXPECT_EQ(c.accepted, config.parse(CString(c.text)));
        EXPECT_EQ(!c.accepted, CCapture::logged("Error parsing string at character "));
        checkDocument(config, c.expects);
    }
}

TEST(Configuration, SetStringCreatesKeysAndBlocks)
{
    CConfiguration config(nullptr);
    ASSERT_TRUE(config.parse("settings { driver = DX9; }"));
    config.setString("settings:driver", "OpenGL");
    config.setString("settings:vsync", "1");
    config.setString("extra:name", "x");
    config.setString(":orphan", "y");
    config.setString("nocolon", "z");
    checkDocument(config, {{"settings:driver", true, "OpenGL", 0},
                           {"settings:vsync", true, "1", 1},
                           {"extra:name", true, "x", 0},
                           {":orphan", false, "", 0},
                           {"nocolon", false, "", 0}});
    EXPECT_EQ(2u, config.getBlockCount());
    EXPECT_EQ(2u, config.findBlock("settings")->getEntryCount());
}

TEST(Configuration, LoadTable)
{
    struct Case
    {
        const char* what;
        bool write;
        std::string bytes;
        bool loaded;
        std::vector<Expect> expects;
    };
    const Case cases[] = {
        {"missing file", false, "", false, {}},
        {"empty file", true, "", false, {}},
        {"one byte", true, "a", false, {}},
        {"UTF-16 little-endian mark",
         true,
         std::string("\xFF\xFE", 2) + std::string("s\0{\0w\0=\0 \0001\0;\0}\0", 16),
         false,
         {{"s:w", false, "", 0}}},
        {"CRLF file",
         true,
         "settings {\r\n  screenWidth = 1024;\r\n  screenHeight=768;\r\n}\r\n",
         true,
         {{"settings:screenWidth", true, "1024", 1024},
          {"settings:screenHeight", true, "768", 768}}},
        {"text ends at the first zero byte",
         true,
         std::string("a { k = 1; }", 12) + std::string(1, '\0') + "b { j = 2; }",
         true,
         {{"a:k", true, "1", 1}, {"b:j", false, "", 0}}},
        {"UTF-8 mark is skipped between blocks",
         true,
         "\xEF\xBB\xBF"
         "a { k = 5; }",
         true,
         {{"a:k", true, "5", 5}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCapture capture;
        std::string dir = iotest::makeScratchFolder("cfg");
        if (c.write) iotest::writeDiskFile(dir + "/pellora.cfg", c.bytes);
        auto* fs = new kelvo::io::CFileSystem();
        fs->addDirAlias("$GAME_RESOURCES$", CString(dir));
        CConfiguration config(fs);
        EXPECT_EQ(c.loaded, config.load());
        checkDocument(config, c.expects);
        if (!c.loaded)
        {
            EXPECT_EQ(0u, config.getBlockCount());
        }
        fs->drop();
    }
}

} // namespace
