#include "core/CString.h"

#include "core/Output.h"

namespace zu::core
{

CString::CString(const char* text)
{
    ZU_CHECK_MSG(text != nullptr, "CString built from a null pointer");
    if (text)
        m_text = text;
}

CString& CString::replace(char from, char to)
{
    for (char& c : m_text)
        if (c == from)
            c = to;
    return *this;
}

} // namespace zu::core
