// The text reader, the XML reader and the XML writer, and the file system's
// factories for them.
#include "IoTestSupport.h"

#include "io/CFileSystem.h"
#include "io/CMemWriteFile.h"
#include "io/CMemoryReadFile.h"
#include "io/CTextReader.h"
#include "io/CXMLReader.h"
#include "io/CXMLWriter.h"
#include "io/IWriteFile.h"
#include "io/IXMLReader.h"
#include "io/IXMLWriter.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>

using iotest::CCapture;
using kelvo::io::CTextReader;
using zu::core::CString;
using namespace std::string_literals;

namespace
{

// A memory file holding a copy of the bytes.
zu::io::IReadFile* memoryFile(const std::string& bytes, const char* name = "test.xml")
{
    auto* copy = new uint8_t[bytes.size() + 1];
    memcpy(copy, bytes.data(), bytes.size());
    return new kelvo::io::CMemoryReadFile(copy, int32_t(bytes.size()), true, name);
}

// "FF FE 61" -> the units as hexadecimal, space-separated.
std::string hexUnits(const char16_t* units, int32_t count)
{
    std::string out;
    char buffer[8];
    for (int32_t i = 0; i < count; ++i)
    {
        snprintf(buffer, sizeof buffer, "%s%04X", i ? " " : "", unsigned(units[i]));
        out += buffer;
    }
    return out;
}

// The text as little-endian UTF-16 bytes.
std::string utf16le(const std::u16string& text)
{
    std::string out;
    for (char16_t unit : text)
    {
        out += char(unit & 0xFF);
        out += char(unit >> 8);
    }
    return out;
}

// Every node a reader gives, one line each: "<name a=v>" for an element
// ("<name/>" when empty), "</name>", "text:", "comment:" and "cdata:" with the
// node's text; then "end" when read returned false.
std::string nodes(zu::io::IXMLReader* reader)
{
    std::string out;
    for (int guard = 0; guard < 1000 && reader->read(); ++guard)
    {
        const std::string name = reader->getNodeName().str();
        EXPECT_EQ(reader->getNodeText(), reader->getNodeName());
        switch (reader->getNodeType())
        {
        case zu::io::EXN_ELEMENT:
            out += "<" + name;
            for (int32_t i = 0; i < reader->getAttributeCount(); ++i)
                out += " " + reader->getAttributeName(i).str() + "=" +
                       reader->getAttributeValue(i).str();
            out += reader->isEmptyElement() ? "/>" : ">";
            break;
        case zu::io::EXN_ELEMENT_END:
            out += "</" + name + ">";
            break;
        case zu::io::EXN_TEXT:
            out += "text:" + name;
            break;
        case zu::io::EXN_COMMENT:
            out += "comment:" + name;
            break;
        case zu::io::EXN_CDATA:
            out += "cdata:" + name;
            break;
        default:
            out += "type " + std::to_string(reader->getNodeType());
        }
        out += "\n";
    }
    // After the end there is no node, and reading again changes nothing.
    EXPECT_EQ(zu::io::EXN_NONE, reader->getNodeType());
    EXPECT_TRUE(reader->getNodeName().empty());
    EXPECT_EQ(0, reader->getAttributeCount());
    EXPECT_FALSE(reader->read());
    return out + "end";
}

std::string nodesOf(const std::string& bytes)
{
    kelvo::io::CFileSystem fs;
    zu::io::IReadFile* file = memoryFile(bytes);
    zu::io::IXMLReader* reader = fs.createXMLReader(file);
    file->drop();
    std::string out = nodes(reader);
    reader->drop();
    return out;
}

// What a writer puts in a memory file, as units.
std::u16string written(const std::function<void(zu::io::IXMLWriter&)>& write)
{
    auto* file = new zu::io::CMemWriteFile();
    auto* writer = new kelvo::io::CXMLWriter(file);
    write(*writer);
    writer->drop();
    std::u16string out;
    for (int32_t i = 0; i + 1 < file->getSize(); i += 2)
        out += char16_t(file->getData()[i] | file->getData()[i + 1] << 8);
    EXPECT_EQ(0, file->getSize() % 2);
    file->drop();
    return out;
}

TEST(TextReader, UnitsCountAndEncoding)
{
    struct Case
    {
        std::string bytes;
        const char* units; // null: no text
        CTextReader::EEncoding encoding;
    };
    const Case cases[] = {
        {"", nullptr, CTextReader::ETE_BYTES},
        {"\xFF\xFE\x61\0b\0"s, "0061 0062 0000", CTextReader::ETE_UTF16_LE},
        {"\xFE\xFF\0a\0b"s, "0061 0062 0000", CTextReader::ETE_UTF16_BE},
        {"\xFF\xFE\x3D\xD8\x1E\xDD", "D83D DD1E 0000", CTextReader::ETE_UTF16_LE},
        {"\xFF\xFE", "0000", CTextReader::ETE_UTF16_LE},
        // An odd size: the incomplete last unit is dropped.
        {"\xFF\xFE\x61\0b"s, "0061 0000", CTextReader::ETE_UTF16_LE},
        {"\xFE\xFF\0a\0"s, "0061 0000", CTextReader::ETE_UTF16_BE},
        {"\xFF\xFE\x61", "0000", CTextReader::ETE_UTF16_LE},
        // Byte by byte: n bytes give n + 2 units.
        {"abc", "0061 0062 0063 0000 0000", CTextReader::ETE_BYTES},
        {"\xE9", "00E9 0000 0000", CTextReader::ETE_BYTES},
        {"\xFF", "00FF 0000 0000", CTextReader::ETE_BYTES},
        {"\xFE", "00FE 0000 0000", CTextReader::ETE_BYTES},
        {"\xFE\xFE\x41", "00FE 00FE 0041 0000 0000", CTextReader::ETE_BYTES},
        {"a\0"s, "0061 0000 0000 0000", CTextReader::ETE_BYTES},
    };
    for (const Case& c : cases)
    {
        zu::io::IReadFile* file = memoryFile(c.bytes, "units.txt");
        // A file already read from still gives its whole text.
        file->seek(file->getSize());
        auto* text = new CTextReader(file);
        EXPECT_EQ(1, file->getReferenceCount());
        file->drop();
        if (!c.units)
        {
            EXPECT_EQ(nullptr, text->getText()) << c.bytes;
            EXPECT_EQ(0, text->getSize()) << c.bytes;
        }
        else
        {
            ASSERT_NE(nullptr, text->getText()) << c.bytes;
            EXPECT_EQ(c.units, hexUnits(text->getText(), text->getSize())) << hexUnits(
                std::u16string(c.bytes.begin(), c.bytes.end()).c_str(), int32_t(c.bytes.size()));
            EXPECT_EQ(c.encoding, text->getEncoding());
        }
        EXPECT_EQ(CString("units.txt"), text->getFileName());
        text->drop();
    }
    CTextReader none(nullptr);
    EXPECT_EQ(nullptr, none.getText());
    EXPECT_EQ(0, none.getSize());
}

TEST(TextReader, OneUnitPerByteOfALongerFile)
{
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += char(i * 7);
    zu::io::IReadFile* file = memoryFile(bytes);
    CTextReader text(file);
    file->drop();
    ASSERT_EQ(1002, text.getSize());
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(char16_t(uint8_t(i * 7)), text.getText()[i]) << i;
    EXPECT_EQ(0, text.getText()[1000]);
    EXPECT_EQ(0, text.getText()[1001]);
}

TEST(XMLWriter, ExactOutput)
{
    struct Case
    {
        const char* what;
        std::function<void(zu::io::IXMLWriter&)> write;
        std::u16string expected;
    };
    const Case cases[] = {
        {"header", [](zu::io::IXMLWriter& w) { w.writeXMLHeader(); },
         u"\uFEFF<?xml version=\"1.0\"?>\n"},
        {"empty element", [](zu::io::IXMLWriter& w) { w.writeElement(u"a", true); }, u"<a />"},
        {"open element", [](zu::io::IXMLWriter& w) { w.writeElement(u"a"); }, u"<a>"},
        {"five pairs",
         [](zu::io::IXMLWriter& w) {
             w.writeElement(u"e", false, u"a", u"1", u"b", u"2", u"c", u"3", u"d", u"4", u"f",
                            u"5");
         },
         u"<e a=\"1\" b=\"2\" c=\"3\" d=\"4\" f=\"5\">"},
        {"half-given pairs are skipped",
         [](zu::io::IXMLWriter& w) {
             w.writeElement(u"e", true, u"a", nullptr, nullptr, u"2", u"c", u"", u"d", nullptr,
                            u"f", u"5");
         },
         u"<e c=\"\" f=\"5\" />"},
        {"attribute values are escaped",
         [](zu::io::IXMLWriter& w) { w.writeElement(u"e", true, u"v", u"a&b<c\"d>e'f\tg\nh\ri"); },
         u"<e v=\"a&amp;b&lt;c&quot;d>e'f&#9;g&#10;h&#13;i\" />"},
        {"ampersand in text", [](zu::io::IXMLWriter& w) { w.writeText(u"&"); }, u"&amp;"},
        {"four replacements in text",
         [](zu::io::IXMLWriter& w) { w.writeText(u"<a> \"b\" 'c'\t\n&"); },
         u"&lt;a&gt; &quot;b&quot; 'c'\t\n&amp;"},
        {"comment", [](zu::io::IXMLWriter& w) { w.writeComment(u" a & <b> "); },
         u"<!-- a & <b> -->"},
        {"closing tag", [](zu::io::IXMLWriter& w) { w.writeClosingTag(u"a"); }, u"</a>"},
        {"line break", [](zu::io::IXMLWriter& w) { w.writeLineBreak(); }, u"\n"},
        {"units beyond ASCII",
         [](zu::io::IXMLWriter& w) { w.writeText(u"\u00E9\u20AC\U0001D11E"); },
         u"\u00E9\u20AC\U0001D11E"},
        {"null texts write nothing",
         [](zu::io::IXMLWriter& w)
         {
             w.writeElement(nullptr, true, u"a", u"1");
             w.writeText(nullptr);
             w.writeComment(nullptr);
             w.writeClosingTag(nullptr);
         },
         u""},
        {"a sequence",
         [](zu::io::IXMLWriter& w)
         {
             w.writeXMLHeader();
             w.writeElement(u"r");
             w.writeLineBreak();
             w.writeElement(u"i", true, u"n", u"1");
             w.writeText(u"x");
             w.writeClosingTag(u"r");
         },
         u"\uFEFF<?xml version=\"1.0\"?>\n<r>\n<i n=\"1\" />x</r>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, written(c.write)) << c.what;
}

TEST(XMLWriter, HeaderAloneIs46Bytes)
{
    auto* file = new zu::io::CMemWriteFile();
    auto* writer = new kelvo::io::CXMLWriter(file);
    writer->writeXMLHeader();
    writer->drop();
    ASSERT_EQ(46, file->getSize());
    EXPECT_EQ(0xFF, file->getData()[0]);
    EXPECT_EQ(0xFE, file->getData()[1]);
    EXPECT_EQ(0x0A, file->getData()[44]);
    EXPECT_EQ(0x00, file->getData()[45]);
    EXPECT_EQ(1, file->getReferenceCount());
    file->drop();
}

TEST(XMLWriter, WithoutAFileDoesNothing)
{
    kelvo::io::CXMLWriter writer(nullptr);
    EXPECT_FALSE(writer.hasFile());
    writer.writeXMLHeader();
    writer.writeElement(u"a", true, u"b", u"c");
    writer.writeComment(u"c");
    writer.writeText(u"t");
    writer.writeClosingTag(u"a");
    writer.writeLineBreak();
}

TEST(XMLReader, Nodes)
{
    struct Case
    {
        std::string document;
        const char* nodes;
    };
    const Case cases[] = {
        {"<a/>", "<a/>\nend"},
        {"<a />", "<a/>\nend"},
        {"<a></a>", "<a>\n</a>\nend"},
        {"<a x=\"1\" y='2'>t</a>", "<a x=1 y=2>\ntext:t\n</a>\nend"},
        // Attributes in document order, names as written (prefixes kept).
        {"<n:a z=\"1\" a=\"2\" m=\"3\" xmlns:n=\"urn:x\"/>",
         "<n:a z=1 a=2 m=3 xmlns:n=urn:x/>\nend"},
        // White space between elements gives no node; other text keeps it.
        {"<a>\n  <b/>\r\n\t<c> x </c>\n</a>\n", "<a>\n<b/>\n<c>\ntext: x \n</c>\n</a>\nend"},
        {"<a>x &amp; &lt;&gt;&quot;&apos; &#65;&#x42;</a>", "<a>\ntext:x & <>\"' AB\n</a>\nend"},
        {"<a>x\r\ny\rz</a>", "<a>\ntext:x\ny\nz\n</a>\nend"},
        {"<a>x<!--c-->y</a>", "<a>\ntext:x\ncomment:c\ntext:y\n</a>\nend"},
        {"<a><!-- <b> & --></a>", "<a>\ncomment: <b> & \n</a>\nend"},
        {"<a>x<![CDATA[<y> & ]]>z</a>", "<a>\ntext:x\ncdata:<y> & \ntext:z\n</a>\nend"},
        {"<a><![CDATA[]]><![CDATA[ ]]></a>", "<a>\ncdata:\ncdata: \n</a>\nend"},
        {"<?xml version=\"1.0\"?>\n<?pi some data?>\n<!-- top -->\n<a/>",
         "comment: top \n<a/>\nend"},
        // Line breaks and tabs in attribute values read as spaces unless
        // written as references.
        {"<a v=\"x&#10;y&#9;z\" w=\"p\nq\tr\"/>", "<a v=x\ny\tz w=p q r/>\nend"},
        // Entities of the internal subset; markup from an entity is no
        // empty-element tag.
        {"<!DOCTYPE a [<!ENTITY t \"text\"><!ENTITY e \"<b></b><c/>\">]><a>x&t;y&e;</a>",
         "<a>\ntext:xtexty\n<b>\n</b>\n<c>\n</c>\n</a>\nend"},
        {"<!DOCTYPE a [<!ATTLIST a d CDATA \"dv\">]><a x=\"1\"/>", "<a x=1 d=dv/>\nend"},
        // Encodings of byte files: UTF-8 with or without its mark, Latin-1 when declared.
        {"<a>\xC3\xA9\xE2\x82\xAC</a>", "<a>\ntext:\xC3\xA9\xE2\x82\xAC\n</a>\nend"},
        {"\xEF\xBB\xBF<a/>", "<a/>\nend"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
         "<a>\ntext:\xC3\xA9\n</a>\nend"},
        // UTF-16 with a mark; a surrogate without its partner reads as U+FFFD.
        {"\xFF\xFE" + utf16le(u"<a b=\"\u00E9\">\U0001D11E</a>"),
         "<a b=\xC3\xA9>\ntext:\xF0\x9D\x84\x9E\n</a>\nend"},
        {"\xFF\xFE" + utf16le(u"<a>") + "\x00\xD8"s + utf16le(u"</a>"),
         "<a>\ntext:\xEF\xBF\xBD\n</a>\nend"},
        // A declaration naming another encoding does not matter once the mark said UTF-16.
        {"\xFF\xFE" + utf16le(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>"), "<a/>\nend"},
        // An odd-sized UTF-16 file: the stray last byte is dropped.
        {"\xFF\xFE" + utf16le(u"<a/>") + "\n", "<a/>\nend"},
        // Nothing to read: no node, and no complaint.
        {"", "end"},
        {"\xFF\xFE", "end"},
        {"\xFF\xFE\x61", "end"},
    };
    for (const Case& c : cases)
    {
        CCapture capture;
        EXPECT_EQ(c.nodes, nodesOf(c.document)) << c.document;
        EXPECT_TRUE(CCapture::lines().empty()) << c.document << "\n" << CCapture::lines()[0];
    }
}

TEST(XMLReader, MalformedDocumentsGiveNoNodeAndOneLogLine)
{
    struct Case
    {
        std::string document;
        const char* position; // what the log line says
    };
    const Case cases[] = {
        {"<a>", "line 1, column 4"},
        {"<a></b>", "line 1, column 6"},
        {"<a>\n  <b>\n</a>", "line 3, column 3"},
        {"<a><b/></c>", "line 1, column 10"},
        {"text", "line 1, column 1"},
        {"<a x=1/>", "line 1, column 6"},
        {"<a x=\"1\" x=\"2\"/>", "line 1, column 10"},
        {"<a>&undefined;</a>", "line 1, column 4"},
        {"<a/><b/>", "line 1, column 5"},
        {"<a/>\n\n   junk", "line 3, column 4"},
        {"<a>\0</a>"s, "line 1, column 4"},
        {"<a/>\0\0"s, "line 1, column 5"},
        {"<a>\xE2\x82</a>", "line 1, column 4"},
        {"<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a/>", "line 1, column 31"},
        {"<!-- a -- b --><a/>", "line 1, column 10"},
        {"<a><![CDATA[x</a>", "line 1, column 18"},
        {"\xFF\xFE" + utf16le(u"<a>\U0001D11E</b>"), "line 1, column 7"},
        // Entities that grow without bound are refused.
        {"<!DOCTYPE a [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
         "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
         "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g "
         "\"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">]><a>&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;</a>",
         "line 1, column"},
    };
    for (const Case& c : cases)
    {
        CCapture capture;
        EXPECT_EQ("end", nodesOf(c.document)) << c.document;
        ASSERT_EQ(1u, CCapture::lines().size()) << c.document;
        const std::string& line = CCapture::lines()[0];
        EXPECT_NE(std::string::npos, line.find("test.xml is not well-formed XML")) << line;
        EXPECT_NE(std::string::npos, line.find(c.position)) << c.document << "\n" << line;
    }
}

TEST(XMLReader, AttributeQueries)
{
    kelvo::io::CFileSystem fs;
    zu::io::IReadFile* file =
        memoryFile("<a n=\"12\" f=\"-2.75\" s=\"  3.25xyz\" x=\"one\" N=\"7\" e=\"\"/>");
    zu::io::IXMLReader* reader = fs.createXMLReader(file);
    file->drop();
    ASSERT_TRUE(reader->read());
    ASSERT_EQ(6, reader->getAttributeCount());
    EXPECT_EQ(CString("n"), reader->getAttributeName(0));
    EXPECT_EQ(CString("e"), reader->getAttributeName(5));
    EXPECT_EQ(CString(), reader->getAttributeName(6));
    EXPECT_EQ(CString(), reader->getAttributeName(-1));
    EXPECT_EQ(CString(), reader->getAttributeValue(6));
    EXPECT_EQ(CString(), reader->getAttributeValue(INT32_MIN));
    EXPECT_EQ(CString("-2.75"), reader->getAttributeValue(1));
    // Names compare exactly.
    EXPECT_EQ(CString("12"), reader->getAttributeValue("n"));
    EXPECT_EQ(CString("7"), reader->getAttributeValue("N"));
    EXPECT_EQ(CString(), reader->getAttributeValue("n "));
    EXPECT_EQ(CString(), reader->getAttributeValue("missing"));
    EXPECT_EQ(CString("one"), reader->findAttributeValue("x"));
    EXPECT_EQ(CString(), reader->findAttributeValue(""));
    EXPECT_EQ(12, reader->getAttributeInt("n"));
    EXPECT_EQ(-2, reader->getAttributeInt("f"));
    EXPECT_FLOAT_EQ(-2.75f, reader->getAttributeFloat("f"));
    EXPECT_FLOAT_EQ(3.25f, reader->getAttributeFloat("s"));
    EXPECT_EQ(0, reader->getAttributeInt("x"));
    EXPECT_EQ(0, reader->getAttributeInt("e"));
    EXPECT_EQ(0, reader->getAttributeInt("missing"));
    EXPECT_EQ(0.0f, reader->getAttributeFloat("missing"));
    EXPECT_FALSE(reader->read());
    EXPECT_EQ(CString(), reader->getAttributeValue("n"));
    reader->drop();
}

TEST(XMLReader, Numbers)
{
    struct Case
    {
        const char* text;
        float value;
        int32_t integer;
    };
    const Case cases[] = {
        {"0", 0, 0},
        {"42", 42, 42},
        {"-7", -7, -7},
        {"+4", 4, 4},
        {"2.9", 2.9f, 2},
        {"-2.9", -2.9f, -2},
        {".5", 0.5f, 0},
        {"5.", 5, 5},
        {" \t12", 12, 12},
        {"1e3", 1, 1},
        {"1,5", 1, 1},
        {"0x10", 0, 0},
        {"--1", 0, 0},
        {"- 1", 0, 0},
        {"", 0, 0},
        {"abc", 0, 0},
        {"2147483520", 2147483520.0f, 2147483520},
        {"3000000000", 3e9f, INT32_MAX},
        {"-3000000000", -3e9f, INT32_MIN},
        {"0.000000000000000000000000000000000000000000001", 1.4e-45f, 0},
    };
    for (const Case& c : cases)
    {
        std::string document = std::string("<a v=\"") + c.text + "\"/>";
        kelvo::io::CFileSystem fs;
        zu::io::IReadFile* file = memoryFile(document);
        zu::io::IXMLReader* reader = fs.createXMLReader(file);
        file->drop();
        ASSERT_TRUE(reader->read()) << c.text;
        EXPECT_FLOAT_EQ(c.value, reader->getAttributeFloat("v")) << c.text;
        EXPECT_EQ(c.integer, reader->getAttributeInt("v")) << c.text;
        reader->drop();
    }
    // Past the float range: an infinity, and the integer clamped.
    std::string huge(60, '9');
    EXPECT_EQ(INFINITY, kelvo::io::CXMLReader::parseFloat(huge));
    EXPECT_EQ(-INFINITY, kelvo::io::CXMLReader::parseFloat("-" + huge));
    EXPECT_EQ(INFINITY, kelvo::io::CXMLReader::parseFloat(std::string(400, '9')));
}

class XMLFiles : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_dir = iotest::makeScratchFolder("xml");
        ASSERT_FALSE(m_dir.empty());
        m_fs->addDirAlias("$USERDATA$", m_dir);
    }
    void TearDown() override { m_fs->drop(); }

    CCapture m_capture;
    std::string m_dir;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
};

TEST_F(XMLFiles, FactoriesOpenAndCreateThroughTheFileSystem)
{
    EXPECT_EQ(nullptr, m_fs->createXMLReader(static_cast<zu::io::IReadFile*>(nullptr)));
    EXPECT_EQ(nullptr, m_fs->createXMLReader("$USERDATA$/missing.xml"));

    // A writer whose file cannot be created writes nothing, and says so once.
    zu::io::IXMLWriter* lost = m_fs->createXMLWriter("$USERDATA$/no/such/folder.xml");
    ASSERT_NE(nullptr, lost);
    EXPECT_FALSE(static_cast<kelvo::io::CXMLWriter*>(lost)->hasFile());
    lost->writeXMLHeader();
    lost->drop();
    EXPECT_TRUE(CCapture::logged("Unable to create file"));
    zu::io::IXMLWriter* none = m_fs->createXMLWriter(static_cast<zu::io::IWriteFile*>(nullptr));
    ASSERT_NE(nullptr, none);
    none->writeText(u"x");
    none->drop();

    // A path writer empties an existing file and holds the only reference.
    iotest::writeDiskFile(m_dir + "/s.xml", std::string(200, 'x'));
    zu::io::IXMLWriter* writer = m_fs->createXMLWriter("$USERDATA$/s.xml");
    writer->writeXMLHeader();
    writer->writeElement(u"s", true, u"v", u"1");
    writer->drop();
    EXPECT_EQ(46u + 2 * 11, iotest::readDiskFile(m_dir + "/s.xml").size());

    zu::io::IXMLReader* reader = m_fs->createXMLReader("$USERDATA$/s.xml");
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ("<s v=1/>\nend", nodes(reader));
    EXPECT_EQ(1, reader->getReferenceCount());
    reader->drop();

    // A reader over a file leaves the file's count as it was.
    zu::io::IReadFile* file = m_fs->createAndOpenFile("$USERDATA$/s.xml");
    reader = m_fs->createXMLReader(file);
    EXPECT_EQ(1, file->getReferenceCount());
    file->drop();
    EXPECT_EQ("<s v=1/>\nend", nodes(reader));
    reader->drop();
}

// Runs a shell command line; its exit status, or -1.
int shell(const std::string& command)
{
    return iotest::runTool({"sh", "-c", command});
}

bool haveTool(const char* name)
{
    return shell(std::string("command -v ") + name + " >/dev/null 2>&1") == 0;
}

// A document inside a zip archive made by the zip tool reads like one on disk.
TEST_F(XMLFiles, ReadsFromInsideAnArchive)
{
    ASSERT_TRUE(haveTool("zip")) << "zip is missing";
    iotest::writeDiskFile(m_dir + "/level.xml", "<level n='3'><wall x='1'/></level>");
    ASSERT_EQ(0, shell("cd '" + m_dir + "' && zip -q data.zip level.xml && rm level.xml"));
    zu::io::IXMLReader* reader = m_fs->createXMLReader("$USERDATA$/data.zip/level.xml");
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ("<level n=3>\n<wall x=1/>\n</level>\nend", nodes(reader));
    reader->drop();
    EXPECT_EQ(nullptr, m_fs->createXMLReader("$USERDATA$/data.zip/none.xml"));
}

// One small document in the encodings other tools make: every version reads
// to the same nodes.
TEST_F(XMLFiles, DocumentsFromOtherToolsReadTheSame)
{
    ASSERT_TRUE(haveTool("iconv")) << "iconv is missing";
    const std::string source =
        "<?xml version=\"1.0\"?>\n"
        "<settings lang=\"fr\">\n"
        "  <!-- player options -->\n"
        "  <player name=\"Zo\xC3\xAB &amp; \xC3\x9Cnal\" speed=\"2.5\" lives=\"3\"/>\n"
        "  <music volume=\"0.8\">Caf\xC3\xA9 \xE2\x82\xAC\x35 \xF0\x9D\x84\x9E</music>\n"
        "  <notes><![CDATA[raw <data> & more]]></notes>\n"
        "</settings>\n";
    const char* expected = "<settings lang=fr>\n"
                           "comment: player options \n"
                           "<player name=Zo\xC3\xAB & \xC3\x9Cnal speed=2.5 lives=3/>\n"
                           "<music volume=0.8>\n"
                           "text:Caf\xC3\xA9 \xE2\x82\xAC\x35 \xF0\x9D\x84\x9E\n"
                           "</music>\n"
                           "<notes>\n"
                           "cdata:raw <data> & more\n"
                           "</notes>\n"
                           "</settings>\n"
                           "end";
    iotest::writeDiskFile(m_dir + "/utf8.xml", source);
    const std::string in = "'" + m_dir + "/utf8.xml'";
    const std::string made[][2] = {
        {"utf8.xml", ""},
        {"utf8bom.xml", "printf '\\357\\273\\277' | cat - " + in},
        {"utf16.xml", "iconv -f UTF-8 -t UTF-16 " + in},
        {"utf16le.xml", "iconv -f UTF-8 -t UTF-16LE " + in},
        {"utf16be.xml", "iconv -f UTF-8 -t UTF-16BE " + in},
        {"utf16le-mark.xml", "{ printf '\\377\\376'; iconv -f UTF-8 -t UTF-16LE " + in + "; }"},
        {"utf16be-mark.xml", "{ printf '\\376\\377'; iconv -f UTF-8 -t UTF-16BE " + in + "; }"},
    };
    for (const auto& version : made)
    {
        const std::string path = m_dir + "/" + version[0];
        if (!version[1].empty())
        {
            ASSERT_EQ(0, shell(version[1] + " > '" + path + "'")) << version[1];
        }
        zu::io::IXMLReader* reader = m_fs->createXMLReader("$USERDATA$/" + version[0]);
        ASSERT_NE(nullptr, reader) << version[0];
        EXPECT_EQ(expected, nodes(reader)) << version[0];
        reader->drop();
    }
    EXPECT_TRUE(CCapture::lines().empty()) << CCapture::lines()[0];
}

// Whatever the writer writes is well-formed for another parser, which also
// reads the attribute values back as they were given.
TEST_F(XMLFiles, WrittenFilesPassAnotherParser)
{
    ASSERT_TRUE(haveTool("xmllint")) << "xmllint is missing (Debian package libxml2-utils)";
    ASSERT_TRUE(haveTool("iconv")) << "iconv is missing";
    struct Case
    {
        const char* name;
        std::function<void(zu::io::IXMLWriter&)> write;
        const char* text; // iconv's UTF-8 of the file
    };
    const Case cases[] = {
        {"minimal",
         [](zu::io::IXMLWriter& w)
         {
             w.writeXMLHeader();
             w.writeElement(u"a", true);
         },
         "<?xml version=\"1.0\"?>\n<a />"},
        {"settings",
         [](zu::io::IXMLWriter& w)
         {
             w.writeXMLHeader();
             w.writeComment(u" saved by the game ");
             w.writeLineBreak();
             w.writeElement(u"settings", false, u"version", u"2");
             w.writeLineBreak();
             w.writeElement(u"player", true, u"name", u"Zo\u00EB \"Z\" & <co>", u"speed", u"2.5");
             w.writeLineBreak();
             w.writeElement(u"note");
             w.writeText(u"a < b && c > \"d\" 'e' \u20AC\U0001D11E");
             w.writeClosingTag(u"note");
             w.writeLineBreak();
             w.writeClosingTag(u"settings");
             w.writeLineBreak();
         },
         "<?xml version=\"1.0\"?>\n<!-- saved by the game -->\n<settings version=\"2\">\n"
         "<player name=\"Zo\xC3\xAB &quot;Z&quot; &amp; &lt;co>\" speed=\"2.5\" />\n"
         "<note>a &lt; b &amp;&amp; c &gt; &quot;d&quot; 'e' \xE2\x82\xAC\xF0\x9D\x84\x9E</note>\n"
         "</settings>\n"},
        {"values with every awkward unit",
         [](zu::io::IXMLWriter& w)
         {
             w.writeXMLHeader();
             w.writeElement(u"v", true, u"a", u"&<>\"'", u"b", u"tab\there", u"c", u"two\nlines\r",
                            u"d", u"&amp;");
         },
         "<?xml version=\"1.0\"?>\n<v a=\"&amp;&lt;>&quot;'\" b=\"tab&#9;here\" "
         "c=\"two&#10;lines&#13;\" d=\"&amp;amp;\" />"},
    };
    for (const Case& c : cases)
    {
        const std::string path = m_dir + "/" + c.name + ".xml";
        zu::io::IXMLWriter* writer =
            m_fs->createXMLWriter("$USERDATA$/" + std::string(c.name) + ".xml");
        c.write(*writer);
        writer->drop();
        const std::string quoted = "'" + path + "'";
        EXPECT_EQ(0, shell("xmllint --noout " + quoted)) << c.name;
        ASSERT_EQ(0, shell("iconv -f UTF-16 -t UTF-8 " + quoted + " > " + quoted + ".txt"));
        EXPECT_EQ(c.text, iotest::readDiskFile(path + ".txt")) << c.name;
    }

    // The values of the last file, as the other parser reads them.
    const std::pair<const char*, std::string> values[] = {
        {"a", "&<>\"'"}, {"b", "tab\there"}, {"c", "two\nlines\r"}, {"d", "&amp;"}};
    const std::string file = "'" + m_dir + "/values with every awkward unit.xml'";
    for (const auto& value : values)
    {
        const std::string out = m_dir + "/value.txt";
        ASSERT_EQ(0, shell(std::string("xmllint --xpath 'string(/v/@") + value.first + ")' " +
                           file + " > '" + out + "'"));
        // xmllint ends what it prints with a line break.
        EXPECT_EQ(value.second + "\n", iotest::readDiskFile(out)) << value.first;
    }
    // And as our reader reads them.
    zu::io::IXMLReader* reader =
        m_fs->createXMLReader("$USERDATA$/values with every awkward unit.xml");
    ASSERT_TRUE(reader->read());
    for (const auto& value : values)
        EXPECT_EQ(value.second, reader->getAttributeValue(value.first).str()) << value.first;
    reader->drop();
}

} // namespace
