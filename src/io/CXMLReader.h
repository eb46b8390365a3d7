// CXMLReader: reads the nodes of a document held by a text reader.
//
// The first read parses the whole document; the later ones hand out the
// nodes it found. A document that is not well-formed gives no node: read
// returns false and one log line names the file, the line and the column
// (both counted from 1) where the parser stopped.
//
// UTF-16 text (it had a byte-order mark) is parsed as that, whatever the
// declaration says. Text read byte by byte is handed to the parser as the
// file's bytes, which names their encoding by the rules of XML: UTF-8 unless
// the declaration says ISO-8859-1 or US-ASCII, or UTF-16 when the file opens
// with "<" and a zero byte (in either order). A zero unit inside the
// document, an unknown encoding or a reference to an undefined entity makes
// the document malformed. External entities are never loaded.
#pragma once

#include "io/IXMLReader.h"

#include <utility>
#include <vector>

namespace kelvo::io
{

class CTextReader;

class CXMLReader : public zu::io::IXMLReader
{
  public:
    // Grabs the text reader.
    explicit CXMLReader(CTextReader* text);
    ~CXMLReader() override;

    bool read() override;
    int32_t getNodeType() const override { return m_nodeType; }
    int32_t getAttributeCount() const override { return int32_t(m_attributes.size()); }
    zu::core::CString getAttributeName(int32_t index) const override;
    zu::core::CString getAttributeValue(const zu::core::CString& name) const override;
    zu::core::CString getAttributeValue(int32_t index) const override;
    zu::core::CString findAttributeValue(const zu::core::CString& name) const override;
    int32_t getAttributeInt(const zu::core::CString& name) const override;
    float getAttributeFloat(const zu::core::CString& name) const override;
    zu::core::CString getNodeName() const override { return m_nodeName; }
    zu::core::CString getNodeText() const override { return m_nodeName; }
    bool isEmptyElement() const override { return m_emptyElement; }

    using SAttributes = std::vector<std::pair<zu::core::CString, zu::core::CString>>;

    struct SNode
    {
        int32_t type = zu::io::EXN_NONE;
        zu::core::CString name;
        bool empty = false;
        SAttributes attributes;
    };

    // The decimal number at the start of text as the attribute readers read it.
    static float parseFloat(const zu::core::CString& text);

  private:
    // Fills m_nodes; false, with the log line, when the document is malformed.
    bool parse();
    const zu::core::CString* findAttribute(const zu::core::CString& name) const;

    CTextReader* m_text;
    bool m_parsed = false;
    std::vector<SNode> m_nodes;
    size_t m_next = 0;

    int32_t m_nodeType = zu::io::EXN_NONE;
    zu::core::CString m_nodeName;
    bool m_emptyElement = false;
    SAttributes m_attributes;
};

} // namespace kelvo::io
