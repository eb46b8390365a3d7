// CLuaXMLReader: the native side of the script class XMLReader, one XML
// document read node by node. Attribute indices are the script's, from 1.
// Without a document (it could not be opened, or was closed) read is false
// and every query gives its "no node" value: 0, "" or false.
#pragma once

#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/SLuaMethod.h"

namespace zu::io
{
class IXMLReader;
}

namespace zu::lua
{

class CLuaXMLReader
{
  public:
    static constexpr const char* className = "XMLReader";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaXMLReader> methods[];

    static CLuaXMLReader* construct(const CLuaArgs& args);

    // Takes over the reader's reference (null for none).
    explicit CLuaXMLReader(io::IXMLReader* reader) : m_reader(reader) {}
    virtual ~CLuaXMLReader();
    CLuaXMLReader(const CLuaXMLReader&) = delete;
    CLuaXMLReader& operator=(const CLuaXMLReader&) = delete;

    int isOk(const CLuaArgs& args);
    int read(const CLuaArgs& args);
    int getNodeType(const CLuaArgs& args);
    int getNodeName(const CLuaArgs& args);
    int getNodeText(const CLuaArgs& args);
    int isEmptyElement(const CLuaArgs& args);
    int getAttributeCount(const CLuaArgs& args);
    int getAttributeName(const CLuaArgs& args);
    int getAttributeValue(const CLuaArgs& args);
    int findAttributeValue(const CLuaArgs& args);
    int getAttributeInt(const CLuaArgs& args);
    int getAttributeFloat(const CLuaArgs& args);
    int close(const CLuaArgs& args);

  private:
    // The script's 1-based attribute index of argument n, as the reader's.
    static int32_t attributeIndex(const CLuaArgs& args, int n);

    io::IXMLReader* m_reader;
};

} // namespace zu::lua
