#include "io/CXMLReader.h"

#include "core/Output.h"
#include "core/Utf16.h"
#include "io/CTextReader.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#if PELLORA_HAS_EXPAT
#include <expat.h>
#endif

namespace kelvo::io
{
using zu::core::CString;

#if PELLORA_HAS_EXPAT
namespace
{

// What the parser's handlers build: the nodes so far, and the character data
// that is not a node yet (consecutive pieces make one text node).
struct SBuild
{
    SBuild(XML_Parser p, std::vector<CXMLReader::SNode>* n) : parser(p), nodes(n) {}

    XML_Parser parser;
    std::vector<CXMLReader::SNode>* nodes;
    std::string text;
    bool inCdata = false;
    // The last node is a start tag that nothing has followed yet, read from
    // the document itself (not from an entity's replacement text).
    bool openTagFromDocument = false;
};

void push(SBuild& build, int32_t type, CString name)
{
    CXMLReader::SNode node;
    node.type = type;
    node.name = std::move(name);
    build.nodes->push_back(std::move(node));
    build.openTagFromDocument = false;
}

bool onlySpace(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void flushText(SBuild& build)
{
    if (!onlySpace(build.text)) push(build, zu::io::EXN_TEXT, CString(std::move(build.text)));
    build.text.clear();
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    SBuild& build = *static_cast<SBuild*>(data);
    flushText(build);
    push(build, zu::io::EXN_ELEMENT, name);
    for (const XML_Char** a = attributes; a[0] && a[1]; a += 2)
        build.nodes->back().attributes.emplace_back(a[0], a[1]);
    build.openTagFromDocument = XML_GetCurrentByteCount(build.parser) > 0;
}

void XMLCALL onEnd(void* data, const XML_Char* name)
{
    SBuild& build = *static_cast<SBuild*>(data);
    flushText(build);
    // The end of an empty-element tag is reported with no bytes of its own;
    // the tag is one node then.
    if (build.openTagFromDocument && XML_GetCurrentByteCount(build.parser) == 0)
    {
        build.nodes->back().empty = true;
        build.openTagFromDocument = false;
        return;
    }
    push(build, zu::io::EXN_ELEMENT_END, name);
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length)
{
    static_cast<SBuild*>(data)->text.append(text, size_t(length));
}

void XMLCALL onComment(void* data, const XML_Char* text)
{
    SBuild& build = *static_cast<SBuild*>(data);
    flushText(build);
    push(build, zu::io::EXN_COMMENT, text);
}

void XMLCALL onCdataStart(void* data)
{
    SBuild& build = *static_cast<SBuild*>(data);
    flushText(build);
    build.inCdata = true;
}

void XMLCALL onCdataEnd(void* data)
{
    SBuild& build = *static_cast<SBuild*>(data);
    // A CDATA section is a node even when empty or only white space.
    push(build, zu::io::EXN_CDATA, CString(std::move(build.text)));
    build.text.clear();
    build.inCdata = false;
}

// The document as the bytes the parser reads, without the final zero units,
// and the encoding to force (null: the parser finds it).
std::string documentBytes(const CTextReader& text, const char*& encoding)
{
    const char16_t* units = text.getText();
    if (text.getEncoding() == CTextReader::ETE_BYTES)
    {
        encoding = nullptr;
        std::string bytes(size_t(text.getSize() - 2), '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(units[i]);
        return bytes;
    }
    encoding = "UTF-8";
    return zu::core::utf16ToUtf8(units, size_t(text.getSize() - 1)).str();
}

} // namespace
#endif

CXMLReader::CXMLReader(CTextReader* text) : m_text(text)
{
    if (m_text) m_text->grab();
}

CXMLReader::~CXMLReader()
{
    zu::dropAndClear(m_text);
}

bool CXMLReader::parse()
{
    if (!m_text || !m_text->getText()) return true;
#if !PELLORA_HAS_EXPAT
    zu::core::zuLog(zu::core::ELL_ERROR, "%s: XML is not supported by this build",
                    m_text->getFileName().c_str());
    return false;
#else
    const char* encoding = nullptr;
    std::string bytes = documentBytes(*m_text, encoding);
    if (bytes.empty()) return true;

    XML_Parser parser = XML_ParserCreate(encoding);
    if (!parser)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Not enough memory to parse %s",
                        m_text->getFileName().c_str());
        return false;
    }
    SBuild build(parser, &m_nodes);
    XML_SetUserData(parser, &build);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    XML_SetCommentHandler(parser, onComment);
    XML_SetCdataSectionHandler(parser, onCdataStart, onCdataEnd);

    // The parser takes int lengths, so long documents go in pieces.
    const size_t piece = size_t(1) << 20;
    bool ok = true;
    for (size_t at = 0; ok && at < bytes.size(); at += piece)
    {
        size_t length = std::min(piece, bytes.size() - at);
        ok = XML_Parse(parser, bytes.data() + at, int(length), at + length == bytes.size()) ==
             XML_STATUS_OK;
    }
    if (ok)
        flushText(build);
    else
    {
        zu::core::zuLog(zu::core::ELL_ERROR,
                        "%s is not well-formed XML: %s at line %lu, column %lu",
                        m_text->getFileName().c_str(), XML_ErrorString(XML_GetErrorCode(parser)),
                        static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)),
                        static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser)) + 1);
        m_nodes.clear();
    }
    XML_ParserFree(parser);
    return ok;
#endif
}

bool CXMLReader::read()
{
    if (!m_parsed)
    {
        m_parsed = true;
        parse();
    }
    if (m_next >= m_nodes.size())
    {
        m_nodeType = zu::io::EXN_NONE;
        m_nodeName = CString();
        m_emptyElement = false;
        m_attributes.clear();
        // Nothing is kept once every node was handed out.
        m_nodes.clear();
        m_next = 0;
        return false;
    }
    SNode& node = m_nodes[m_next++];
    m_nodeType = node.type;
    m_nodeName = std::move(node.name);
    m_emptyElement = node.empty;
    m_attributes = std::move(node.attributes);
    return true;
}

CString CXMLReader::getAttributeName(int32_t index) const
{
    return index >= 0 && index < getAttributeCount() ? m_attributes[size_t(index)].first
                                                     : CString();
}

CString CXMLReader::getAttributeValue(int32_t index) const
{
    return index >= 0 && index < getAttributeCount() ? m_attributes[size_t(index)].second
                                                     : CString();
}

const CString* CXMLReader::findAttribute(const CString& name) const
{
    for (const auto& attribute : m_attributes)
        if (attribute.first == name) return &attribute.second;
    return nullptr;
}

CString CXMLReader::getAttributeValue(const CString& name) const
{
    const CString* value = findAttribute(name);
    return value ? *value : CString();
}

CString CXMLReader::findAttributeValue(const CString& name) const
{
    return getAttributeValue(name);
}

float CXMLReader::getAttributeFloat(const CString& name) const
{
    const CString* value = findAttribute(name);
    return value ? parseFloat(*value) : 0.0f;
}

int32_t CXMLReader::getAttributeInt(const CString& name) const
{
    float value = getAttributeFloat(name);
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return int32_t(value);
}

float CXMLReader::parseFloat(const CString& text)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    double value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10 + (text[at] - '0');
    if (at < text.size() && text[at] == '.')
    {
        double scale = 1;
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        {
            scale /= 10;
            value += (text[at] - '0') * scale;
        }
    }
    if (negative) value = -value;
    // Past the float range the value is an infinity, not undefined behaviour.
    if (value > FLT_MAX) return INFINITY;
    if (value < -FLT_MAX) return -INFINITY;
    return float(value);
}

} // namespace kelvo::io
