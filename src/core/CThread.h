// CThread: runs a function with one parameter on a thread of its own from
// construction. Threads are never killed: the function must return once its
// owner asks it to (a flag, a shut-down socket), and destruction joins it.
#pragma once

#include <thread>

namespace zu::core
{

class CThread
{
public:
    using Function = void (*)(void* param);

    CThread(Function function, void* param) : m_thread(function, param) {}
    ~CThread() { join(); }
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
};

} // namespace zu::core
