// IXMLWriter: writes an XML file as UTF-16 text, little-endian, exactly as
// told: no indentation, no structure checks, line breaks only where the
// caller writes them. Texts are zero-terminated UTF-16; a null text or name
// makes its operation write nothing.
#pragma once

#include "core/IUnknown.h"

namespace zu::io
{

class IXMLWriter : public virtual IUnknown
{
  public:
    // The byte-order mark, <?xml version="1.0"?> and a line break.
    virtual void writeXMLHeader() = 0;
    // <name a="v" ...> or, when empty, <name a="v" ... />. A pair whose name
    // or value is null is left out; the pairs after it are still written.
    // Values are escaped so the attribute always reads back as given.
    virtual void
    writeElement(const char16_t* name, bool empty = false, const char16_t* attr1Name = nullptr,
                 const char16_t* attr1Value = nullptr, const char16_t* attr2Name = nullptr,
                 const char16_t* attr2Value = nullptr, const char16_t* attr3Name = nullptr,
                 const char16_t* attr3Value = nullptr, const char16_t* attr4Name = nullptr,
                 const char16_t* attr4Value = nullptr, const char16_t* attr5Name = nullptr,
                 const char16_t* attr5Value = nullptr) = 0;
    // <!--text-->
    virtual void writeComment(const char16_t* text) = 0;
    // </name>
    virtual void writeClosingTag(const char16_t* name) = 0;
    // The text with &, <, > and " replaced by their entity references.
    virtual void writeText(const char16_t* text) = 0;
    // The single unit 0x000A.
    virtual void writeLineBreak() = 0;
};

} // namespace zu::io
