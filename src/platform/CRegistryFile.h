// CRegistryFile: 32-bit values under named keys, kept in a small text file
// ("hive\key path\value name=number" per line). Every change writes a
// temporary file and renames it over the old one, so a crash never leaves the
// file half written.
#pragma once

#include "core/CString.h"

#include <cstdint>
#include <map>

namespace kelvo
{

class CRegistryFile
{
public:
    explicit CRegistryFile(const zu::core::CString& path) : m_path(path) {}

    // False when the value is absent (or the file unreadable).
    bool get(const zu::core::CString& name, int32_t& value) const;
    // False when the file could not be written.
    bool set(const zu::core::CString& name, int32_t value);

private:
    std::map<std::string, int32_t> read() const;

    zu::core::CString m_path;
};

} // namespace kelvo
