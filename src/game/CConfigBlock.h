// CConfigBlock: one named block of a configuration document: key/value texts
// in the order they were first set.
#pragma once

#include "core/CString.h"

#include <utility>
#include <vector>

namespace zu::game
{

class CConfigBlock
{
  public:
    explicit CConfigBlock(const core::CString& name) : m_name(name) {}

    const core::CString& getName() const { return m_name; }
    // Replaces the value of an existing key, else appends the pair.
    void set(const core::CString& key, const core::CString& value);
    // The value, or null when the key is missing.
    const core::CString* find(const core::CString& key) const;
    size_t getEntryCount() const { return m_entries.size(); }
    const std::pair<core::CString, core::CString>& getEntry(size_t index) const
    {
        return m_entries[index];
    }

  private:
    core::CString m_name;
    std::vector<std::pair<core::CString, core::CString>> m_entries;
};

} // namespace zu::game
