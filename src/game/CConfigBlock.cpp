#include "game/CConfigBlock.h"

namespace zu::game
{

void CConfigBlock::set(const core::CString& key, const core::CString& value)
{
    for (auto& entry : m_entries)
        if (entry.first == key)
        {
            entry.second = value;
            return;
        }
    m_entries.emplace_back(key, value);
}

const core::CString* CConfigBlock::find(const core::CString& key) const
{
    for (const auto& entry : m_entries)
        if (entry.first == key) return &entry.second;
    return nullptr;
}

} // namespace zu::game
