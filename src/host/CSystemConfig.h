// CSystemConfig: the start-up settings from "$GAME_RESOURCES$/pellora.cfg",
// checked and completed with defaults (800 x 600, windowed, "DX9", vertical
// sync on). The file is only read, never written back.
#pragma once

#include "core/CString.h"
#include "core/SDimension.h"

namespace zu::io
{
class IFileSystem;
}
namespace zu::game
{
class CConfiguration;
}

namespace pellora::settings
{

class CSystemConfig
{
public:
    explicit CSystemConfig(zu::io::IFileSystem* fileSystem);
    ~CSystemConfig();
    CSystemConfig(const CSystemConfig&) = delete;
    CSystemConfig& operator=(const CSystemConfig&) = delete;

    zu::core::SDimension2i getScreenSize() const;
    bool isFullscreen() const;
    bool isVSync() const;
    zu::core::CString getDriver() const;

private:
    zu::io::IFileSystem* m_fileSystem;
    zu::core::CString m_path = "$GAME_RESOURCES$/pellora.cfg";
    zu::game::CConfiguration* m_config;
};

} // namespace pellora::settings
