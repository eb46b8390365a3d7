#include "io/CXMLWriter.h"

#include "core/ByteOrder.h"
#include "io/IWriteFile.h"

#include <vector>

namespace kelvo::io
{
namespace
{

enum EEscape
{
    EE_TEXT,
    EE_ATTRIBUTE
};

// The replacement of one unit, or null to write it as it is.
const char16_t* replacement(char16_t unit, EEscape where)
{
    switch (unit)
    {
    case u'&':
        return u"&amp;";
    case u'<':
        return u"&lt;";
    case u'"':
        return u"&quot;";
    case u'>':
        return where == EE_TEXT ? u"&gt;" : nullptr;
    case u'\t':
        return where == EE_ATTRIBUTE ? u"&#9;" : nullptr;
    case u'\n':
        return where == EE_ATTRIBUTE ? u"&#10;" : nullptr;
    case u'\r':
        return where == EE_ATTRIBUTE ? u"&#13;" : nullptr;
    default:
        return nullptr;
    }
}

void appendEscaped(std::u16string& out, const char16_t* text, EEscape where)
{
    for (; *text; ++text)
    {
        if (const char16_t* instead = replacement(*text, where))
            out += instead;
        else
            out += *text;
    }
}

} // namespace

CXMLWriter::CXMLWriter(zu::io::IWriteFile* file) : m_file(file)
{
    if (m_file) m_file->grab();
}

CXMLWriter::~CXMLWriter()
{
    zu::dropAndClear(m_file);
}

void CXMLWriter::put(const std::u16string& units)
{
    if (units.empty()) return;
    std::vector<uint8_t> bytes(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i)
        zu::core::writeLE16(&bytes[2 * i], units[i]);
    m_file->write(bytes.data(), uint32_t(bytes.size()));
}

void CXMLWriter::writeXMLHeader()
{
    if (!m_file) return;
    put(u"\uFEFF<?xml version=\"1.0\"?>\n");
}

void CXMLWriter::writeElement(const char16_t* name, bool empty, const char16_t* attr1Name,
                              const char16_t* attr1Value, const char16_t* attr2Name,
                              const char16_t* attr2Value, const char16_t* attr3Name,
                              const char16_t* attr3Value, const char16_t* attr4Name,
                              const char16_t* attr4Value, const char16_t* attr5Name,
                              const char16_t* attr5Value)
{
    if (!m_file || !name) return;
    const char16_t* pairs[5][2] = {{attr1Name, attr1Value},
                                   {attr2Name, attr2Value},
                                   {attr3Name, attr3Value},
                                   {attr4Name, attr4Value},
                                   {attr5Name, attr5Value}};
    std::u16string out = u"<";
    out += name;
    for (const auto& pair : pairs)
    {
        if (!pair[0] || !pair[1]) continue;
        out += u' ';
        out += pair[0];
        out += u"=\"";
        appendEscaped(out, pair[1], EE_ATTRIBUTE);
        out += u'"';
    }
    out += empty ? u" />" : u">";
    put(out);
}

void CXMLWriter::writeComment(const char16_t* text)
{
    if (!m_file || !text) return;
    put(std::u16string(u"<!--") + text + u"-->");
}

void CXMLWriter::writeClosingTag(const char16_t* name)
{
    if (!m_file || !name) return;
    put(std::u16string(u"</") + name + u">");
}

void CXMLWriter::writeText(const char16_t* text)
{
    if (!m_file || !text) return;
    std::u16string out;
    appendEscaped(out, text, EE_TEXT);
    put(out);
}

void CXMLWriter::writeLineBreak()
{
    if (!m_file) return;
    put(u"\n");
}

} // namespace kelvo::io
