#include "event/CEventSubscriberList.h"

#include <algorithm>

namespace zu::event
{
namespace
{
CEventSubscriberList* g_list = nullptr;
}

IEventReceiver::~IEventReceiver()
{
    // Only the list that still exists is touched: the process-wide one.
    if (m_subscriberList && g_list)
        g_list->removeReceiver(this);
}

CEventSubscriberList::CEventSubscriberList()
{
    if (!g_list)
        g_list = this;
}

CEventSubscriberList::~CEventSubscriberList()
{
    // Receivers may already be gone, so they are not touched here.
    if (g_list == this)
        g_list = nullptr;
}

CEventSubscriberList* CEventSubscriberList::get() { return g_list; }

void CEventSubscriberList::addReceiver(IEventReceiver* receiver) { m_receivers.push_back(receiver); }

void CEventSubscriberList::removeReceiver(IEventReceiver* receiver)
{
    auto it = std::find(m_receivers.begin(), m_receivers.end(), receiver);
    if (it != m_receivers.end())
        m_receivers.erase(it);
}

bool CEventSubscriberList::onEvent(const SEngineEvent& event)
{
    // A receiver may unsubscribe itself (or be deleted) while handling an
    // event, so walk by index over the live array.
    for (size_t i = 0; i < m_receivers.size(); ++i)
        if (m_receivers[i]->onEvent(event))
            return true;
    return false;
}

void CEventSubscriberList::queueEvent(const SEngineEvent& event)
{
    core::CLock lock(m_lock);
    m_queues[m_queueIndex].push_back(event);
}

void CEventSubscriberList::dispatchQueued()
{
    int filled;
    {
        core::CLock lock(m_lock);
        filled = m_queueIndex;
        m_queueIndex ^= 1;
    }
    std::vector<SEngineEvent>& queue = m_queues[filled];
    for (size_t i = 0; i < queue.size(); ++i)
        onEvent(queue[i]);
    queue.clear();
}

} // namespace zu::event
