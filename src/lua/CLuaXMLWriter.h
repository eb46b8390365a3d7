// CLuaXMLWriter: the native side of the script class XMLWriter, which
// writes an XML file (UTF-16, little-endian) exactly as told. Texts are the
// script's UTF-8, cut at a zero byte. A nil text or name makes its method
// write nothing; without a file (it could not be created, or was closed)
// nothing is written at all.
#pragma once

#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/SLuaMethod.h"

namespace zu::io
{
class IXMLWriter;
}

namespace zu::lua
{

class CLuaXMLWriter
{
  public:
    static constexpr const char* className = "XMLWriter";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaXMLWriter> methods[];

    static CLuaXMLWriter* construct(const CLuaArgs& args);

    // Takes over the writer's reference (null for none).
    explicit CLuaXMLWriter(io::IXMLWriter* writer) : m_writer(writer) {}
    virtual ~CLuaXMLWriter();
    CLuaXMLWriter(const CLuaXMLWriter&) = delete;
    CLuaXMLWriter& operator=(const CLuaXMLWriter&) = delete;

    int isOk(const CLuaArgs& args);
    int writeXMLHeader(const CLuaArgs& args);
    int writeElement(const CLuaArgs& args);
    int writeComment(const CLuaArgs& args);
    int writeClosingTag(const CLuaArgs& args);
    int writeText(const CLuaArgs& args);
    int writeLineBreak(const CLuaArgs& args);
    int close(const CLuaArgs& args);

  private:
    io::IXMLWriter* m_writer;
};

} // namespace zu::lua
