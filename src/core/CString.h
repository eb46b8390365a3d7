// CString: the text type of every name, path and message. UTF-8 bytes with an
// explicit length (so a text may hold zero bytes), value semantics.
#pragma once

#include <cstddef>
#include <string>

namespace zu::core
{

class CString
{
public:
    static constexpr size_t npos = std::string::npos;

    CString() = default;
    CString(const char* text); // NOLINT: implicit like a string literal; null is a programming error
    CString(const char* data, size_t length) : m_text(data, length) {}
    CString(std::string text) : m_text(std::move(text)) {} // NOLINT

    const char* c_str() const { return m_text.c_str(); }
    const char* data() const { return m_text.data(); }
    size_t size() const { return m_text.size(); }
    bool empty() const { return m_text.empty(); }
    const std::string& str() const { return m_text; }

    char operator[](size_t i) const { return m_text[i]; }
    char& operator[](size_t i) { return m_text[i]; }

    CString& operator+=(const CString& other)
    {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(char c)
    {
        m_text += c;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += CString(b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }

    bool operator==(const CString& o) const { return m_text == o.m_text; }
    bool operator!=(const CString& o) const { return m_text != o.m_text; }
    bool operator<(const CString& o) const { return m_text < o.m_text; }

    size_t find(const CString& what, size_t from = 0) const { return m_text.find(what.m_text, from); }
    size_t find(char c, size_t from = 0) const { return m_text.find(c, from); }
    size_t rfind(char c, size_t from = npos) const { return m_text.rfind(c, from); }
    CString substr(size_t from, size_t count = npos) const { return m_text.substr(from, count); }
    bool startsWith(const CString& prefix) const { return m_text.compare(0, prefix.size(), prefix.m_text) == 0; }
    bool endsWith(const CString& suffix) const
    {
        return size() >= suffix.size() &&
               m_text.compare(size() - suffix.size(), suffix.size(), suffix.m_text) == 0;
    }
    // Replaces every occurrence of one character by another.
    CString& replace(char from, char to);

    static CString fromInt(long long value) { return std::to_string(value); }

private:
    std::string m_text;
};

} // namespace zu::core
