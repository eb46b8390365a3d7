// IXMLReader: reads an XML document node by node.
//
// Each successful read makes the next node current; the queries describe it.
// Node types (getNodeType):
//   EXN_NONE        0  no node: before the first read, after the last one,
//                      and after a read that failed
//   EXN_ELEMENT     1  a start tag <name a="v"> or an empty-element tag
//                      <name a="v"/> (isEmptyElement is true, and no
//                      EXN_ELEMENT_END follows)
//   EXN_ELEMENT_END 2  an end tag </name>
//   EXN_TEXT        3  character data between tags, references replaced;
//                      text made only of white space gives no node
//   EXN_COMMENT     4  <!-- text -->
//   EXN_CDATA       5  <![CDATA[ text ]]>
// The node name is the element's name for elements and end tags, and the
// text itself for text, comment and CDATA nodes. Attributes belong to
// EXN_ELEMENT nodes and come in document order. The XML declaration,
// processing instructions and the document type give no node.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

enum EXMLNodeType
{
    EXN_NONE = 0,
    EXN_ELEMENT = 1,
    EXN_ELEMENT_END = 2,
    EXN_TEXT = 3,
    EXN_COMMENT = 4,
    EXN_CDATA = 5
};

class IXMLReader : public virtual IUnknown
{
  public:
    // Moves to the next node; false at the end of the document, and for a
    // document that is not well-formed (which gives no node at all).
    virtual bool read() = 0;
    virtual int32_t getNodeType() const = 0;
    virtual int32_t getAttributeCount() const = 0;
    // The name of attribute `index` (0 .. count - 1); empty outside the range.
    virtual core::CString getAttributeName(int32_t index) const = 0;
    // The value of the first attribute with exactly this name; empty when
    // there is none.
    virtual core::CString getAttributeValue(const core::CString& name) const = 0;
    // The value of attribute `index`; empty outside the range.
    virtual core::CString getAttributeValue(int32_t index) const = 0;
    // The same as getAttributeValue(name).
    virtual core::CString findAttributeValue(const core::CString& name) const = 0;
    // getAttributeFloat truncated towards zero, clamped to the 32-bit range.
    virtual int32_t getAttributeInt(const core::CString& name) const = 0;
    // The value as a decimal number ("-12.5"; leading blanks and one sign
    // allowed, reading stops at the first other character); 0 when there is
    // no such attribute.
    virtual float getAttributeFloat(const core::CString& name) const = 0;
    virtual core::CString getNodeName() const = 0;
    // The same field as getNodeName.
    virtual core::CString getNodeText() const = 0;
    virtual bool isEmptyElement() const = 0;
};

} // namespace zu::io
