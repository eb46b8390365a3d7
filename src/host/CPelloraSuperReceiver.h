// CPelloraSuperReceiver: the first receiver in the subscriber list. F11 (on
// release) saves a screenshot; Alt+Enter toggles full-screen mode and goes on
// down the list.
#pragma once

#include "event/IEventReceiver.h"

namespace zu
{
class IKelvoDevice;
}

namespace pellora
{

class CPelloraSuperReceiver : public zu::event::IEventReceiver
{
public:
    explicit CPelloraSuperReceiver(zu::IKelvoDevice* device) : m_device(device) {}
    bool onEvent(const zu::event::SEngineEvent& event) override;

private:
    zu::IKelvoDevice* m_device;
};

} // namespace pellora
