// CRunLuaState: the state that runs the game script. Activating it builds a
// fresh script world (main.lua, gameInit); each pass forwards the frame time
// to frameUpdate; each frame clears the screen, lets the script draw, overlays
// the print console and the GUI and presents. Device events become script
// callbacks. Restarting the script means replacing this state by a fresh one.
#pragma once

#include "game/CGameState.h"

namespace pellora::lua
{
class CLuaManager;
}

namespace pellora::states
{

// The state id of the script-running state.
constexpr int STATE_RUN_LUA = 2;

class CRunLuaState : public zu::game::CGameState
{
public:
    CRunLuaState();
    ~CRunLuaState() override;

    bool onEvent(const zu::event::SEngineEvent& event) override;
    void prepare() override {}
    int activate() override;
    int update(float dt) override;
    void render() override;

    lua::CLuaManager* getScriptManager() const { return m_scriptManager; }

private:
    int m_nextState = 0;
    lua::CLuaManager* m_scriptManager = nullptr;
};

} // namespace pellora::states
