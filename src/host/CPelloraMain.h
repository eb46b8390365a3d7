// CPelloraMain: the host application. It creates the device with the start-up
// settings, subscribes the super receiver and runs the script state.
#pragma once

#include "core/Version.h"
#include "game/CGameMain.h"
#include "host/SLaunchOptions.h"

#include <memory>

namespace kelvo
{
class CDeviceStub;
namespace platform
{
class CFolderWatcher;
}
} // namespace kelvo

namespace pellora
{

class CPelloraSuperReceiver;
class CNetCatcher;

// The product line, the start of the window caption.
constexpr const char* kProductLine = "Pellora v" PELLORA_VERSION_TEXT;

class CPelloraMain : public zu::game::CGameMain
{
  public:
    explicit CPelloraMain(const SLaunchOptions& options);
    ~CPelloraMain() override;
    CPelloraMain(const CPelloraMain&) = delete;
    CPelloraMain& operator=(const CPelloraMain&) = delete;

    void shutdown() override;
    int init() override;
    void run() override;
    zu::game::CGameState* createState(int id) override;

  private:
    SLaunchOptions m_options;
    // The same object as m_device, seen as the platform device.
    kelvo::CDeviceStub* m_platformDevice = nullptr;
    CPelloraSuperReceiver* m_superReceiver = nullptr;
    // The built-in network session, polled before each pass.
    CNetCatcher* m_netCatcher = nullptr;
    unsigned m_passes = 0;
    // --watch: the game folder's watcher, the last change seen and when
    // (device milliseconds), and the line for the console after a restart.
    std::unique_ptr<kelvo::platform::CFolderWatcher> m_watcher;
    zu::core::CString m_changedFile;
    uint32_t m_changedAt = 0;
    zu::core::CString m_reloadNote;

    // Restarts the script once the game folder's files stop changing.
    void watchGameFolder();
};

} // namespace pellora
