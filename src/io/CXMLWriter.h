// CXMLWriter: writes XML to a write file as UTF-16 text, little-endian, two
// bytes per unit. Without a file every operation does nothing.
//
// Text gets the four replacements of & < > and "; attribute values get &, <
// and " replaced, and tab, line feed and carriage return written as
// character references, so a value reads back exactly as given (a parser
// would turn those three into spaces). Names and comments are written as
// they are: a name that is no XML name, or a comment holding "--", is the
// caller's to avoid.
#pragma once

#include "io/IXMLWriter.h"

#include <string>

namespace zu::io
{
class IWriteFile;
}

namespace kelvo::io
{

class CXMLWriter : public zu::io::IXMLWriter
{
  public:
    // Grabs the file, which may be null.
    explicit CXMLWriter(zu::io::IWriteFile* file);
    ~CXMLWriter() override;

    void writeXMLHeader() override;
    void writeElement(const char16_t* name, bool empty = false, const char16_t* attr1Name = nullptr,
                      const char16_t* attr1Value = nullptr, const char16_t* attr2Name = nullptr,
                      const char16_t* attr2Value = nullptr, const char16_t* attr3Name = nullptr,
                      const char16_t* attr3Value = nullptr, const char16_t* attr4Name = nullptr,
                      const char16_t* attr4Value = nullptr, const char16_t* attr5Name = nullptr,
                      const char16_t* attr5Value = nullptr) override;
    void writeComment(const char16_t* text) override;
    void writeClosingTag(const char16_t* name) override;
    void writeText(const char16_t* text) override;
    void writeLineBreak() override;

    bool hasFile() const { return m_file != nullptr; }

  private:
    // Writes the units to the file, each as two bytes, low byte first.
    void put(const std::u16string& units);

    zu::io::IWriteFile* m_file;
};

} // namespace kelvo::io
