// Fuzz target: the text reader and the XML reader take any bytes, then every
// attribute value and text node they give goes through the writer and must
// read back as it was.
#include "core/Output.h"
#include "core/Utf16.h"
#include "io/CMemWriteFile.h"
#include "io/CMemoryReadFile.h"
#include "io/CTextReader.h"
#include "io/CXMLReader.h"
#include "io/CXMLWriter.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace
{

void quiet(const char*, int) {}

using zu::core::CString;

// The reader over a copy of the bytes, exactly as large as they are, so a
// read one byte past them is caught.
kelvo::io::CXMLReader* readerOf(const uint8_t* data, size_t size)
{
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, "fuzz.xml");
    auto* text = new kelvo::io::CTextReader(file);
    file->drop();
    if (text->getSize() && text->getText()[text->getSize() - 1] != 0)
        __builtin_trap(); // the text always ends with a zero unit
    auto* reader = new kelvo::io::CXMLReader(text);
    text->drop();
    return reader;
}

// Writes <r v="value">text</r> and reads it back.
void roundTrip(const CString& value, const CString& text)
{
    std::u16string value16 = zu::core::utf8ToUtf16(value);
    std::u16string text16 = zu::core::utf8ToUtf16(text);
    auto* file = new zu::io::CMemWriteFile();
    auto* writer = new kelvo::io::CXMLWriter(file);
    writer->writeXMLHeader();
    writer->writeElement(u"r", false, u"v", value16.c_str());
    writer->writeText(text16.c_str());
    writer->writeClosingTag(u"r");
    writer->drop();
    kelvo::io::CXMLReader* reader = readerOf(file->getData(), size_t(file->getSize()));
    file->drop();

    if (!reader->read() || reader->getNodeType() != zu::io::EXN_ELEMENT ||
        reader->getAttributeValue("v") != value)
        __builtin_trap();
    if (!text.empty())
    {
        if (!reader->read() || reader->getNodeType() != zu::io::EXN_TEXT ||
            reader->getNodeText() != text)
            __builtin_trap();
    }
    if (!reader->read() || reader->getNodeType() != zu::io::EXN_ELEMENT_END || reader->read())
        __builtin_trap();
    reader->drop();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;
    if (size > 1 << 20) return 0;

    kelvo::io::CXMLReader* reader = readerOf(data, size);
    int checked = 0;
    while (reader->read())
    {
        int32_t type = reader->getNodeType();
        if (type < zu::io::EXN_ELEMENT || type > zu::io::EXN_CDATA) __builtin_trap();
        int32_t count = reader->getAttributeCount();
        if (type != zu::io::EXN_ELEMENT && (count || reader->isEmptyElement())) __builtin_trap();
        for (int32_t i = 0; i < count; ++i)
        {
            // The parser refuses repeated names, so each name finds its own value.
            CString name = reader->getAttributeName(i);
            if (reader->getAttributeValue(name) != reader->getAttributeValue(i) ||
                reader->findAttributeValue(name) != reader->getAttributeValue(i))
                __builtin_trap();
            reader->getAttributeInt(name);
            if (checked < 8) roundTrip(reader->getAttributeValue(i), CString()), ++checked;
        }
        if (!reader->getAttributeName(count).empty() || !reader->getAttributeValue(-1).empty())
            __builtin_trap();
        // Text keeps a carriage return only when written as a reference, and
        // the writer writes it as it is, so such text would read back changed.
        CString text = reader->getNodeText();
        if (type == zu::io::EXN_TEXT && checked < 8 && text.find('\r') == CString::npos)
            roundTrip(CString(), text), ++checked;
    }
    if (reader->getNodeType() != zu::io::EXN_NONE || reader->read()) __builtin_trap();
    reader->drop();
    return 0;
}
