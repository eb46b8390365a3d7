#include "game/CGameMain.h"

#include "audio/IAudioDriver.h"
#include "core/Output.h"
#include "game/CGameState.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "other/IKelvoDevice.h"
#include "core/IOSOperator.h"
#include "core/ITimer.h"
#include "video/IVideoDriver.h"

#include <chrono>
#include <thread>

namespace zu::game
{

CGameMain::CGameMain()
{
    if (!event::CEventSubscriberList::get())
        m_subscriberList = new event::CEventSubscriberList();
}

CGameMain::~CGameMain()
{
    delete m_subscriberList;
    m_subscriberList = nullptr;
    delete m_state;
    m_state = nullptr;
}

void CGameMain::shutdown()
{
    delete m_state;
    m_state = nullptr;
}

void CGameMain::onUpdate(float) {}

void CGameMain::run()
{
    if (!m_state || !m_device || !m_device->run())
    {
        m_running = false;
        return;
    }

    double now = m_device->getTimer()->getSeconds();
    if (m_lastTime == 0.0 || m_lastTime > now)
        m_lastTime = now;
    float dt = static_cast<float>(now - m_lastTime);
    m_lastTime = now;
    if (m_fixedStep > 0.f)
        dt = m_fixedStep;

    // Music keeps streaming on every pass, whether or not the state updates.
    if (audio::IAudioDriver* audioDriver = m_device->getAudioDriver())
        audioDriver->update();

    int next = STATE_STAY;
    if (dt > 0.f)
    {
        next = m_state->update(dt);
        onUpdate(dt);
        video::IVideoDriver* driver = m_device->getVideoDriver();
        if (m_device->isWindowActive() || (driver && !driver->isFullscreen()))
            m_state->render();
    }

    if (!m_device->isWindowActive() && m_sleepWhenInactive)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    m_device->updateNetworkDevices();

    if (event::CEventSubscriberList* list = event::CEventSubscriberList::get())
        list->dispatchQueued();

    if (next != STATE_STAY)
        setState(next);
}

void CGameMain::setState(int id)
{
    if (m_state)
    {
        delete m_state;
        m_state = nullptr;
    }
    if (id == STATE_QUIT)
    {
        m_running = false;
        return;
    }
    m_state = createState(id);
    if (!m_state)
    {
        core::zuLogText("\nERROR: CGameMain::setState(), state factory returned NULL state\n",
                        core::ELL_ERROR);
        m_running = false;
        return;
    }
    if (m_state->init(m_device))
    {
        core::zuLog(core::ELL_ERROR, "\nERROR: CGameMain::setState(), state init failed:\n%s\n",
                    m_state->getErrorText().c_str());
        m_running = false;
        return;
    }
    int result;
    do
    {
        m_state->prepare();
        result = m_state->activate();
    } while (result == 2);
    if (result == 1)
    {
        core::zuLog(core::ELL_ERROR, "\nERROR: CGameMain::setState(), state init failed:\n%s\n",
                    m_state->getErrorText().c_str());
        m_running = false;
        return;
    }

    event::CEventSubscriberList* list = event::CEventSubscriberList::get();
    if (list)
    {
        m_state->setSubscriberList(list);
        list->addReceiver(m_state);
    }
    m_device->setEventReceiver(list);
}

bool CGameMain::checkFiles(const char* const* files)
{
    if (!m_device || !files)
        return true;
    io::IFileSystem* fs = m_device->getFileSystem();
    for (; *files; ++files)
    {
        io::IReadFile* file = fs->createAndOpenFile(*files);
        if (!file)
        {
            m_device->getOSOperator()->showMessageBox(
                "Error", core::CString("File is missing: ") + *files + ", please re-install.", 0);
            return false;
        }
        file->drop();
    }
    return true;
}

} // namespace zu::game
