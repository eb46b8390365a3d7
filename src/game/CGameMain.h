// CGameMain: the application object. It owns the device and the current game
// state and runs one pass of the main loop per call of run(): measure the frame
// time, update the audio, update and render the state, give the network
// devices their turn, deliver the queued events, and switch state if asked.
#pragma once

#include "event/CEventSubscriberList.h"

namespace zu
{
class IKelvoDevice;
}

namespace zu::game
{

class CGameState;

class CGameMain
{
public:
    CGameMain();
    virtual ~CGameMain();
    CGameMain(const CGameMain&) = delete;
    CGameMain& operator=(const CGameMain&) = delete;

    virtual void shutdown();
    // Called after the state's update on every pass that updates.
    virtual void onUpdate(float dt);
    // 0 on success, 1 on failure.
    virtual int init() = 0;
    // One pass of the main loop.
    virtual void run();
    // The state factory: a new state for the id, or null.
    virtual CGameState* createState(int id) = 0;
    // Opens each file of a null-terminated list; false (after a message box)
    // at the first that is missing.
    virtual bool checkFiles(const char* const* files);

    void setState(int id);
    bool isRunning() const { return m_running; }
    CGameState* getState() const { return m_state; }
    IKelvoDevice* getDevice() const { return m_device; }

protected:
    bool m_running = false;
    CGameState* m_state = nullptr;
    IKelvoDevice* m_device = nullptr;
    bool m_sleepWhenInactive = true;
    // Reported as every pass's frame time when above 0, so scripted runs
    // play the same way each time.
    float m_fixedStep = 0.0f;
    double m_lastTime = 0.0;
    event::CEventSubscriberList* m_subscriberList = nullptr;
};

} // namespace zu::game
