// CEventSubscriberList: the process-wide fan-out of engine events.
//
// onEvent delivers at once, in subscription order, until a receiver consumes
// the event. queueEvent may be called from any thread: events wait in one of
// two queues under the lock, and dispatchQueued swaps the queues and delivers
// the filled one on the main thread, so events posted while dispatching wait
// for the next pass.
#pragma once

#include "core/CCriticalSection.h"
#include "event/IEventReceiver.h"

#include <vector>

namespace zu::event
{

class CEventSubscriberList : public IEventReceiver
{
public:
    CEventSubscriberList();
    ~CEventSubscriberList() override;

    // The one list of the process, or null when none exists.
    static CEventSubscriberList* get();

    void addReceiver(IEventReceiver* receiver);
    void removeReceiver(IEventReceiver* receiver);
    bool onEvent(const SEngineEvent& event) override;
    void queueEvent(const SEngineEvent& event);
    void dispatchQueued();

    size_t getReceiverCount() const { return m_receivers.size(); }

private:
    std::vector<IEventReceiver*> m_receivers;
    std::vector<SEngineEvent> m_queues[2];
    int m_queueIndex = 0;
    core::CCriticalSection m_lock;
};

} // namespace zu::event
