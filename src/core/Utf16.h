// UTF-8 (the text inside the engine) to and from UTF-16 code units (the text
// of the platform and of XML files). Both directions accept any input: what
// is not well-formed becomes U+FFFD, so the output is always well-formed.
#pragma once

#include "core/CString.h"

#include <cstddef>
#include <string>

namespace zu::core
{

// A byte that does not begin a well-formed sequence (a stray continuation
// byte, a cut sequence, an overlong form, a surrogate or a value past
// U+10FFFF) gives one U+FFFD and decoding goes on at the next byte.
std::u16string utf8ToUtf16(const char* data, size_t length);
inline std::u16string utf8ToUtf16(const CString& text)
{
    return utf8ToUtf16(text.data(), text.size());
}

// A surrogate without its partner gives U+FFFD.
CString utf16ToUtf8(const char16_t* units, size_t count);

} // namespace zu::core
