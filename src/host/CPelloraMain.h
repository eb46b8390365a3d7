// CPelloraMain: the host application. It creates the device with the start-up
// settings, subscribes the super receiver and runs the script state.
#pragma once

#include "core/Version.h"
#include "game/CGameMain.h"
#include "host/SLaunchOptions.h"

namespace kelvo
{
class CDeviceStub;
}

namespace pellora
{

class CPelloraSuperReceiver;

// The product line, the start of the window caption.
constexpr const char* kProductLine = "Pellora v" PELLORA_VERSION_TEXT;

class CPelloraMain : public zu::game::CGameMain
{
  public:
    explicit CPelloraMain(const SLaunchOptions& options) : m_options(options) {}
    ~CPelloraMain() override;

    void shutdown() override;
    int init() override;
    void run() override;
    zu::game::CGameState* createState(int id) override;

  private:
    SLaunchOptions m_options;
    // The same object as m_device, seen as the platform device.
    kelvo::CDeviceStub* m_platformDevice = nullptr;
    CPelloraSuperReceiver* m_superReceiver = nullptr;
    unsigned m_passes = 0;
};

} // namespace pellora
