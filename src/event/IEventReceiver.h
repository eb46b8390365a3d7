// IEventReceiver: anything that consumes engine events. A receiver that is in
// the subscriber list takes itself out of it when it is destroyed.
#pragma once

#include "event/SEngineEvent.h"

namespace zu::event
{

class CEventSubscriberList;

class IEventReceiver
{
public:
    // True when the event is consumed and goes no further.
    virtual bool onEvent(const SEngineEvent& event) = 0;
    virtual ~IEventReceiver();

    // The list this receiver was added to by its owner; null when not subscribed.
    void setSubscriberList(CEventSubscriberList* list) { m_subscriberList = list; }
    CEventSubscriberList* getSubscriberList() const { return m_subscriberList; }

protected:
    IEventReceiver() = default;

private:
    CEventSubscriberList* m_subscriberList = nullptr;
};

} // namespace zu::event
