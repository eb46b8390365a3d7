#include "platform/CFolderWatcher.h"

#include "core/Output.h"

#include <chrono>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo::platform
{
namespace
{

using zu::core::CString;

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Calls visit(path, isFolder) for every entry below folder, skipping "." names.
template <class Visit> void walk(const CString& folder, Visit visit, int depth = 0)
{
    // Deep enough for any game, bounded against link loops.
    if (depth > 32)
        return;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir))
    {
        if (entry->d_name[0] == '.')
            continue;
        const CString path = folder + "/" + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0)
            continue;
        const bool isFolder = S_ISDIR(info.st_mode);
        visit(path, isFolder, info);
        if (isFolder)
            walk(path, visit, depth + 1);
    }
    closedir(dir);
}

} // namespace

CFolderWatcher::CFolderWatcher(const CString& folder) : m_folder(folder)
{
    m_notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_notify >= 0)
        watchTree(folder);
    else
    {
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "No change notification here: looking for changed files twice a second");
        scan(folder, m_times);
        m_lastScan = nowMs();
    }
}

CFolderWatcher::~CFolderWatcher()
{
    if (m_notify >= 0)
        close(m_notify);
}

void CFolderWatcher::watchTree(const CString& folder)
{
    auto add = [this](const CString& path) {
        int watch = inotify_add_watch(m_notify, path.c_str(), kEvents);
        if (watch >= 0)
            m_watches[watch] = path;
    };
    add(folder);
    walk(folder, [&](const CString& path, bool isFolder, const struct stat&) {
        if (isFolder)
            add(path);
    });
}

void CFolderWatcher::scan(const CString& folder, std::map<CString, int64_t>& times) const
{
    walk(folder, [&](const CString& path, bool isFolder, const struct stat& info) {
        if (!isFolder)
            times[path] = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    });
}

bool CFolderWatcher::poll(CString& changed)
{
    if (m_notify < 0)
    {
        const int64_t now = nowMs();
        if (now - m_lastScan < 500)
            return false;
        m_lastScan = now;
        std::map<CString, int64_t> times;
        scan(m_folder, times);
        bool found = false;
        for (const auto& entry : times)
        {
            auto before = m_times.find(entry.first);
            if (before == m_times.end() || before->second != entry.second)
            {
                changed = entry.first;
                found = true;
                break;
            }
        }
        if (!found && times.size() != m_times.size())
            for (const auto& entry : m_times)
                if (!times.count(entry.first))
                {
                    changed = entry.first;
                    found = true;
                    break;
                }
        m_times.swap(times);
        return found;
    }

    alignas(inotify_event) char buffer[4096];
    bool found = false;
    // Bounded: a folder changing faster than it can be read cannot hold the
    // frame loop here.
    for (int round = 0; round < 16; ++round)
    {
        ssize_t length = read(m_notify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= length;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event)) + event->len;
            auto folder = m_watches.find(event->wd);
            if (folder == m_watches.end() || event->len == 0 || event->name[0] == '.')
                continue;
            const CString path = folder->second + "/" + event->name;
            if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)))
                watchTree(path);
            else if (!(event->mask & IN_ISDIR))
            {
                changed = path;
                found = true;
            }
        }
    }
    return found;
}

} // namespace kelvo::platform
