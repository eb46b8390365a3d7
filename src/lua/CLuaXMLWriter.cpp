#include "lua/CLuaXMLWriter.h"

#include "core/Output.h"
#include "core/Utf16.h"
#include "io/IFileSystem.h"
#include "io/IWriteFile.h"
#include "io/IXMLWriter.h"
#include "lua/CLuaFileLibrary.h"

#include <string>

namespace zu::lua
{

using core::CString;

const SLuaMethod<CLuaXMLWriter> CLuaXMLWriter::methods[] = {
    {"isOk", &CLuaXMLWriter::isOk},
    {"writeXMLHeader", &CLuaXMLWriter::writeXMLHeader},
    {"writeElement", &CLuaXMLWriter::writeElement},
    {"writeComment", &CLuaXMLWriter::writeComment},
    {"writeClosingTag", &CLuaXMLWriter::writeClosingTag},
    {"writeText", &CLuaXMLWriter::writeText},
    {"writeLineBreak", &CLuaXMLWriter::writeLineBreak},
    {"close", &CLuaXMLWriter::close},
    {nullptr, nullptr},
};

namespace
{

// Text argument n as UTF-16, cut at its first zero unit; `given` is false
// for a missing or nil argument, which the writer takes as no text.
struct SText
{
    SText(const CLuaArgs& args, int n) : given(!args.missing(n))
    {
        if (given) units = core::utf8ToUtf16(args.text(n));
    }
    const char16_t* get() const { return given ? units.c_str() : nullptr; }

    bool given;
    std::u16string units;
};

} // namespace

// XMLWriter(path) -> XMLWriter
// Creates (or empties) an XML file to write. path may use folder aliases;
// settings belong under "$USERDATA$/". A file that cannot be created still
// gives an XMLWriter, whose isOk() is false.
CLuaXMLWriter* CLuaXMLWriter::construct(const CLuaArgs& args)
{
    CString path = args.text(1);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    io::IWriteFile* file = fs ? fs->createAndWriteFile(path, false) : nullptr;
    if (!file)
    {
        core::zuLog(core::ELL_WARNING, "XMLWriter: could not create '%s'", path.c_str());
        return new CLuaXMLWriter(nullptr);
    }
    io::IXMLWriter* writer = fs->createXMLWriter(file);
    file->drop();
    return new CLuaXMLWriter(writer);
}

CLuaXMLWriter::~CLuaXMLWriter()
{
    dropAndClear(m_writer);
}

// XMLWriter:isOk() -> boolean
// True while the file is open.
int CLuaXMLWriter::isOk(const CLuaArgs& args)
{
    lua_pushboolean(args.state(), m_writer != nullptr);
    return 1;
}

// XMLWriter:writeXMLHeader() -> nothing
// The start of every file: the byte-order mark, <?xml version="1.0"?> and a
// line break.
int CLuaXMLWriter::writeXMLHeader(const CLuaArgs&)
{
    if (m_writer) m_writer->writeXMLHeader();
    return 0;
}

// XMLWriter:writeElement(name [, empty [, name1, value1 [, ... name5, value5]]]) -> nothing
// A start tag <name a="1">, or <name a="1" /> when empty is true, with up
// to five attributes in the order given; a pair with a nil name or value is
// left out. Values may be numbers and are escaped, so they read back as
// they were. Close a non-empty element with writeClosingTag.
int CLuaXMLWriter::writeElement(const CLuaArgs& args)
{
    SText name(args, 1);
    SText pairs[10] = {{args, 3}, {args, 4}, {args, 5},  {args, 6},  {args, 7},
                       {args, 8}, {args, 9}, {args, 10}, {args, 11}, {args, 12}};
    if (m_writer)
        m_writer->writeElement(name.get(), args.flag(2), pairs[0].get(), pairs[1].get(),
                               pairs[2].get(), pairs[3].get(), pairs[4].get(), pairs[5].get(),
                               pairs[6].get(), pairs[7].get(), pairs[8].get(), pairs[9].get());
    return 0;
}

// XMLWriter:writeComment(text) -> nothing
// <!--text-->; the text must not hold "--".
int CLuaXMLWriter::writeComment(const CLuaArgs& args)
{
    SText text(args, 1);
    if (m_writer) m_writer->writeComment(text.get());
    return 0;
}

// XMLWriter:writeClosingTag(name) -> nothing
// </name>
int CLuaXMLWriter::writeClosingTag(const CLuaArgs& args)
{
    SText name(args, 1);
    if (m_writer) m_writer->writeClosingTag(name.get());
    return 0;
}

// XMLWriter:writeText(text) -> nothing
// Text inside an element, with &, <, > and " written as references.
int CLuaXMLWriter::writeText(const CLuaArgs& args)
{
    SText text(args, 1);
    if (m_writer) m_writer->writeText(text.get());
    return 0;
}

// XMLWriter:writeLineBreak() -> nothing
// One line break; nothing else ever starts a new line.
int CLuaXMLWriter::writeLineBreak(const CLuaArgs&)
{
    if (m_writer) m_writer->writeLineBreak();
    return 0;
}

// XMLWriter:close() -> nothing
// Finishes the file; read it back only after closing. Collected writers
// close themselves.
int CLuaXMLWriter::close(const CLuaArgs&)
{
    dropAndClear(m_writer);
    return 0;
}

} // namespace zu::lua
