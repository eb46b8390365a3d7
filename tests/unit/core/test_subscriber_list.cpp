#include "event/CEventSubscriberList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zu::event;

namespace
{

std::vector<std::string> g_log;

class Receiver : public IEventReceiver
{
public:
    Receiver(std::string name, bool consume) : m_name(std::move(name)), m_consume(consume) {}
    bool onEvent(const SEngineEvent& e) override
    {
        g_log.push_back(m_name + ":" + std::to_string(e.key.key));
        if (m_postDuring)
        {
            SEngineEvent later = SEngineEvent::makeKey(99, KeyPressed);
            m_postDuring->queueEvent(later);
            m_postDuring = nullptr;
        }
        return m_consume;
    }
    CEventSubscriberList* m_postDuring = nullptr;

private:
    std::string m_name;
    bool m_consume;
};

} // namespace

TEST(SubscriberList, DeliversInOrderUntilConsumed)
{
    g_log.clear();
    CEventSubscriberList list;
    Receiver a("a", false), b("b", true), c("c", false);
    list.addReceiver(&a);
    list.addReceiver(&b);
    list.addReceiver(&c);
    EXPECT_TRUE(list.onEvent(SEngineEvent::makeKey(1, KeyPressed)));
    EXPECT_EQ(g_log, (std::vector<std::string>{"a:1", "b:1"}));

    list.removeReceiver(&b);
    g_log.clear();
    EXPECT_FALSE(list.onEvent(SEngineEvent::makeKey(2, KeyPressed)));
    EXPECT_EQ(g_log, (std::vector<std::string>{"a:2", "c:2"}));
}

TEST(SubscriberList, ReceiverAddedTwiceIsHeldTwiceAndRemovedOnceAtATime)
{
    g_log.clear();
    CEventSubscriberList list;
    Receiver a("a", false);
    list.addReceiver(&a);
    list.addReceiver(&a);
    list.onEvent(SEngineEvent::makeKey(3, KeyPressed));
    EXPECT_EQ(g_log.size(), 2u);
    list.removeReceiver(&a);
    EXPECT_EQ(list.getReceiverCount(), 1u);
}

TEST(SubscriberList, EventQueuedDuringDispatchWaitsForTheNextPass)
{
    g_log.clear();
    CEventSubscriberList list;
    Receiver a("a", false);
    a.m_postDuring = &list;
    list.addReceiver(&a);
    list.queueEvent(SEngineEvent::makeKey(1, KeyPressed));
    list.queueEvent(SEngineEvent::makeKey(2, KeyPressed));
    list.dispatchQueued();
    EXPECT_EQ(g_log, (std::vector<std::string>{"a:1", "a:2"}));
    list.dispatchQueued();
    EXPECT_EQ(g_log, (std::vector<std::string>{"a:1", "a:2", "a:99"}));
    list.dispatchQueued();
    EXPECT_EQ(g_log.size(), 3u);
}

TEST(SubscriberList, DestroyedReceiverLeavesTheList)
{
    CEventSubscriberList list;
    {
        Receiver a("a", false);
        a.setSubscriberList(&list);
        list.addReceiver(&a);
        EXPECT_EQ(list.getReceiverCount(), 1u);
    }
    EXPECT_EQ(list.getReceiverCount(), 0u);
}
