// CFolderWatcher: tells when a file below a folder changes, for reloading a
// game while it is being made. It uses the kernel's change notification and
// falls back to comparing modification times twice a second where that is
// not available. One save can report several changes; callers wait for the
// changes to stop before acting.
#pragma once

#include "core/CString.h"

#include <map>

namespace kelvo::platform
{

class CFolderWatcher
{
public:
    explicit CFolderWatcher(const zu::core::CString& folder);
    ~CFolderWatcher();
    CFolderWatcher(const CFolderWatcher&) = delete;
    CFolderWatcher& operator=(const CFolderWatcher&) = delete;

    // True, with the path of one changed file below the folder, when
    // something changed since the last call. Never blocks.
    bool poll(zu::core::CString& changed);
    bool usesNotification() const { return m_notify >= 0; }

private:
    void watchTree(const zu::core::CString& folder);
    // The polling fallback: every file's modification time.
    void scan(const zu::core::CString& folder, std::map<zu::core::CString, int64_t>& times) const;

    zu::core::CString m_folder;
    int m_notify = -1;
    std::map<int, zu::core::CString> m_watches;
    std::map<zu::core::CString, int64_t> m_times;
    int64_t m_lastScan = 0;
};

} // namespace kelvo::platform
