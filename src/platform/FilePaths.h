// What the command line names: an existing file or folder, made absolute.
#pragma once

#include "core/CString.h"

namespace kelvo::platform
{

// The absolute path of an existing file or folder, and which it is; false
// when nothing is there.
bool findPath(const char* path, zu::core::CString& absolute, bool& isFolder);

} // namespace kelvo::platform
