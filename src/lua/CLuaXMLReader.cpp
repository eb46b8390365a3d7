#include "lua/CLuaXMLReader.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IXMLReader.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <climits>

namespace zu::lua
{

using core::CString;

const SLuaMethod<CLuaXMLReader> CLuaXMLReader::methods[] = {
    {"isOk", &CLuaXMLReader::isOk},
    {"read", &CLuaXMLReader::read},
    {"getNodeType", &CLuaXMLReader::getNodeType},
    {"getNodeName", &CLuaXMLReader::getNodeName},
    {"getNodeText", &CLuaXMLReader::getNodeText},
    {"isEmptyElement", &CLuaXMLReader::isEmptyElement},
    {"getAttributeCount", &CLuaXMLReader::getAttributeCount},
    {"getAttributeName", &CLuaXMLReader::getAttributeName},
    {"getAttributeValue", &CLuaXMLReader::getAttributeValue},
    {"findAttributeValue", &CLuaXMLReader::findAttributeValue},
    {"getAttributeInt", &CLuaXMLReader::getAttributeInt},
    {"getAttributeFloat", &CLuaXMLReader::getAttributeFloat},
    {"close", &CLuaXMLReader::close},
    {nullptr, nullptr},
};

// XMLReader(path) -> XMLReader
// Opens an XML file to read node by node. path may use folder aliases and
// reach into zip archives. The file may be UTF-16 (with its byte-order
// mark), UTF-8 or Latin-1 (declared). A file that cannot be opened still
// gives an XMLReader, whose isOk() is false.
CLuaXMLReader* CLuaXMLReader::construct(const CLuaArgs& args)
{
    CString path = args.text(1);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    io::IXMLReader* reader = fs ? fs->createXMLReader(path) : nullptr;
    if (!reader) core::zuLog(core::ELL_WARNING, "XMLReader: could not open '%s'", path.c_str());
    return new CLuaXMLReader(reader);
}

CLuaXMLReader::~CLuaXMLReader()
{
    dropAndClear(m_reader);
}

int32_t CLuaXMLReader::attributeIndex(const CLuaArgs& args, int n)
{
    int64_t index = args.integer(n);
    return index >= 1 && index <= INT32_MAX ? int32_t(index - 1) : -1;
}

// XMLReader:isOk() -> boolean
// True while the file is open.
int CLuaXMLReader::isOk(const CLuaArgs& args)
{
    lua_pushboolean(args.state(), m_reader != nullptr);
    return 1;
}

// XMLReader:read() -> boolean
// Moves to the next node; false at the end of the document. A document that
// is not well-formed gives no node at all: read() is false at once and the
// console shows the line and column of the fault.
int CLuaXMLReader::read(const CLuaArgs& args)
{
    lua_pushboolean(args.state(), m_reader && m_reader->read());
    return 1;
}

// XMLReader:getNodeType() -> 0..5
// The kind of node: XMLReader.ELEMENT (1, a start tag or an empty-element
// tag), ELEMENT_END (2), TEXT (3), COMMENT (4), CDATA (5); NONE (0) before
// the first read and after the last.
int CLuaXMLReader::getNodeType(const CLuaArgs& args)
{
    lua_pushinteger(args.state(), m_reader ? m_reader->getNodeType() : io::EXN_NONE);
    return 1;
}

// XMLReader:getNodeName() -> text
// The element's name, or the text of a text, comment or CDATA node.
int CLuaXMLReader::getNodeName(const CLuaArgs& args)
{
    pushText(args.state(), m_reader ? m_reader->getNodeName() : CString());
    return 1;
}

// XMLReader:getNodeText() -> text
// The same as getNodeName.
int CLuaXMLReader::getNodeText(const CLuaArgs& args)
{
    pushText(args.state(), m_reader ? m_reader->getNodeText() : CString());
    return 1;
}

// XMLReader:isEmptyElement() -> boolean
// True for an element written <name/>, which has no ELEMENT_END node.
int CLuaXMLReader::isEmptyElement(const CLuaArgs& args)
{
    lua_pushboolean(args.state(), m_reader && m_reader->isEmptyElement());
    return 1;
}

// XMLReader:getAttributeCount() -> integer
// The number of attributes of the current element.
int CLuaXMLReader::getAttributeCount(const CLuaArgs& args)
{
    lua_pushinteger(args.state(), m_reader ? m_reader->getAttributeCount() : 0);
    return 1;
}

// XMLReader:getAttributeName(index) -> text
// The name of attribute index (1 .. getAttributeCount(), in document
// order); "" outside the range.
int CLuaXMLReader::getAttributeName(const CLuaArgs& args)
{
    int32_t index = attributeIndex(args, 1);
    pushText(args.state(), m_reader ? m_reader->getAttributeName(index) : CString());
    return 1;
}

// XMLReader:getAttributeValue(name) -> text
// XMLReader:getAttributeValue(index) -> text
// The value of the attribute with this name, or at this index (from 1);
// "" when there is none.
int CLuaXMLReader::getAttributeValue(const CLuaArgs& args)
{
    if (args.isNumber(1))
    {
        int32_t index = attributeIndex(args, 1);
        pushText(args.state(), m_reader ? m_reader->getAttributeValue(index) : CString());
        return 1;
    }
    CString name = args.text(1);
    pushText(args.state(), m_reader ? m_reader->getAttributeValue(name) : CString());
    return 1;
}

// XMLReader:findAttributeValue(name) -> text
// The value of the attribute with this name; "" when there is none.
int CLuaXMLReader::findAttributeValue(const CLuaArgs& args)
{
    CString name = args.text(1);
    pushText(args.state(), m_reader ? m_reader->findAttributeValue(name) : CString());
    return 1;
}

// XMLReader:getAttributeInt(name) -> integer
// The attribute read as a number and truncated towards zero; 0 when there
// is no such attribute or it is no number.
int CLuaXMLReader::getAttributeInt(const CLuaArgs& args)
{
    CString name = args.text(1);
    lua_pushinteger(args.state(), m_reader ? m_reader->getAttributeInt(name) : 0);
    return 1;
}

// XMLReader:getAttributeFloat(name) -> number
// The attribute read as a decimal number ("-2.5"; no exponent): reading
// stops at the first other character. 0 when there is no such attribute.
int CLuaXMLReader::getAttributeFloat(const CLuaArgs& args)
{
    CString name = args.text(1);
    lua_pushnumber(args.state(), m_reader ? m_reader->getAttributeFloat(name) : 0.0f);
    return 1;
}

// XMLReader:close() -> nothing
// Closes the document; isOk() is false afterwards. Collected readers close
// themselves.
int CLuaXMLReader::close(const CLuaArgs&)
{
    dropAndClear(m_reader);
    return 0;
}

} // namespace zu::lua
