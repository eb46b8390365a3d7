#include "host/CPelloraMain.h"

#include "core/Output.h"
#include "core/ITimer.h"
#include "host/CGameArchive.h"
#include "host/CLuaManager.h"
#include "host/CNetCatcher.h"
#include "host/CPelloraSuperReceiver.h"
#include "host/CRunLuaState.h"
#include "host/CSystemConfig.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "core/IOSOperator.h"
#include "platform/CDeviceHeadless.h"
#include "platform/CDeviceSDL.h"
#include "platform/CFolderWatcher.h"
#include "platform/COSOperator.h"
#include "video/IVideoDriver.h"

#include <memory>

namespace pellora
{

CPelloraMain::CPelloraMain(const SLaunchOptions& options) : m_options(options)
{
    m_fixedStep = options.fixedStep;
}

CPelloraMain::~CPelloraMain()
{
    shutdown();
}

int CPelloraMain::init()
{
    // A zipped game, or one appended to this executable when no game is named.
    SGameArchive archive;
    zu::core::CString error;
    bool zipped = false;
    if (!m_options.gameArchive.empty())
        zipped = CGameArchive::openZip(m_options.gameArchive, archive, error);
    else if (m_options.gameDir.empty())
        zipped = CGameArchive::openFused(kelvo::COSOperator::findExecutablePath(), archive, error);
    if (!error.empty())
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "pellora: %s", error.c_str());
        return 1;
    }
    zu::core::CString resources = m_options.gameDir;
    if (zipped)
        resources = archive.root.empty() ? archive.path : archive.path + "/" + archive.root;

    kelvo::CDeviceStub* device;
    if (m_options.headless)
        device = new kelvo::CDeviceHeadless(zu::core::ENGINE_VERSION, resources);
    else
    {
        auto* sdl = new kelvo::CDeviceSDL(zu::core::ENGINE_VERSION, resources);
        device = sdl;
        if (!sdl->isReady())
        {
            zu::core::zuLogText("No display is available; --headless runs without one",
                                zu::core::ELL_ERROR);
            device->drop();
            return 1;
        }
    }
    m_device = device;
    m_platformDevice = device;
    if (zipped)
    {
        // Everything below the archive's path is read from the archive.
        zu::io::IReadFile* bytes = CGameArchive::openBytes(archive);
        const bool mounted = bytes && device->getFileSystem()->addFileArchive(archive.path, bytes);
        if (bytes)
            bytes->drop();
        if (!mounted)
        {
            zu::core::zuLog(zu::core::ELL_ERROR, "pellora: %s could not be read as a zip archive",
                            archive.path.c_str());
            return 1;
        }
        zu::core::zuLog(zu::core::ELL_INFORMATION, "Running the zipped game %s",
                        resources.c_str());
    }

    if (!m_options.eventsFile.empty())
    {
        auto script = std::make_unique<kelvo::CEventScript>();
        zu::core::CString error;
        if (!script->load(m_options.eventsFile, error))
        {
            zu::core::zuLog(zu::core::ELL_ERROR, "Event script: %s", error.c_str());
            return 1;
        }
        device->setEventScript(std::move(script));
    }

    zu::core::SDimension2i size;
    bool fullscreen, vsync;
    zu::core::CString driver;
    {
        settings::CSystemConfig config(device->getFileSystem());
        size = config.getScreenSize();
        fullscreen = config.isFullscreen();
        vsync = config.isVSync();
        driver = config.getDriver();
    }
    zu::EDriverType type = driver == "DX9" ? zu::EDT_DIRECT3D9 : zu::EDT_OPENGL;
    if (m_options.headless) type = zu::EDT_NULL;
    device->setDriverType(type);

    if (!device->createWindow(size, fullscreen, false, vsync, 101))
    {
        zu::core::zuLogText("The window and its video driver could not be created",
                            zu::core::ELL_ERROR);
        return 1;
    }
    device->getVideoDriver()->setTextureFlag(zu::video::ETCF_CREATE_MIP_MAPS, false);

    zu::io::IFileSystem* fs = device->getFileSystem();
    fs->addDirAlias("$USERDATA$", device->getOSOperator()->getAppDataFolder("Pellora"));

    m_superReceiver = new CPelloraSuperReceiver(device);
    if (zu::event::CEventSubscriberList* list = zu::event::CEventSubscriberList::get())
    {
        m_superReceiver->setSubscriberList(list);
        list->addReceiver(m_superReceiver);
    }

    m_netCatcher = new CNetCatcher(device);
    lua::CLuaManager::setScriptArguments(resources, m_options.gameArguments);

    if (m_options.watch)
    {
        if (resources.empty() || zipped)
            zu::core::zuLogText("--watch needs a game folder; nothing is watched",
                                zu::core::ELL_WARNING);
        else
        {
            m_watcher = std::make_unique<kelvo::platform::CFolderWatcher>(resources);
            zu::core::zuLog(zu::core::ELL_INFORMATION, "Watching %s for changes",
                            resources.c_str());
        }
    }

    m_running = true;
    device->setWindowCaption(zu::core::CString(kProductLine) + " - " +
                             device->getVideoDriver()->getName());
    setState(states::STATE_RUN_LUA);
    return 0;
}

void CPelloraMain::run()
{
    if (m_platformDevice && !m_platformDevice->postScriptedInput()) m_platformDevice->closeDevice();
    if (m_watcher) watchGameFolder();
    // The built-in session's callbacks come before the frame.
    if (m_netCatcher) m_netCatcher->poll();
    zu::game::CGameMain::run();
    ++m_passes;
    if (m_options.frames && m_passes >= m_options.frames) m_running = false;
}

void CPelloraMain::watchGameFolder()
{
    // A restart's note goes to the console of the script it started.
    if (!m_reloadNote.empty())
        if (lua::CLuaManager* manager = lua::CLuaManager::get())
        {
            manager->addPrintLine(m_reloadNote);
            m_reloadNote = zu::core::CString();
        }
    const uint32_t now = m_device->getTimer()->getRealTime();
    zu::core::CString changed;
    while (m_watcher->poll(changed))
    {
        m_changedFile = changed;
        m_changedAt = now;
    }
    // One save often writes a file several times: wait until it is quiet.
    if (m_changedFile.empty() || now - m_changedAt < 250) return;
    const zu::core::CString folder = m_device->getFileSystem()->getDirAlias("$GAME_RESOURCES$");
    const zu::core::CString shown = m_changedFile.startsWith(folder + "/")
                                        ? m_changedFile.substr(folder.size() + 1)
                                        : m_changedFile;
    m_reloadNote = "Reloaded: " + shown + " changed";
    zu::core::zuLog(zu::core::ELL_INFORMATION, "%s changed: restarting the script",
                    m_changedFile.c_str());
    m_changedFile = zu::core::CString();
    if (zu::event::CEventSubscriberList* list = zu::event::CEventSubscriberList::get())
        list->onEvent(zu::event::SEngineEvent::makeGameRequest(zu::event::GameRequestReset));
}

zu::game::CGameState* CPelloraMain::createState(int id)
{
    if (id == states::STATE_RUN_LUA) return new states::CRunLuaState();
    return nullptr;
}

void CPelloraMain::shutdown()
{
    delete m_state;
    m_state = nullptr;
    delete m_netCatcher;
    m_netCatcher = nullptr;
    delete m_superReceiver;
    m_superReceiver = nullptr;
    if (m_device)
    {
        m_device->drop();
        m_device = nullptr;
        m_platformDevice = nullptr;
    }
}

} // namespace pellora
