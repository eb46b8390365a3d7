// A recursive lock: the thread that holds it may enter again.
#pragma once

#include <mutex>

namespace zu::core
{

class CCriticalSection
{
public:
    void enter() { m_mutex.lock(); }
    void leave() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Holds a critical section for the lifetime of a scope.
class CLock
{
public:
    explicit CLock(CCriticalSection& section) : m_section(section) { m_section.enter(); }
    ~CLock() { m_section.leave(); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    CCriticalSection& m_section;
};

} // namespace zu::core
