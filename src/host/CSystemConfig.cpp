#include "host/CSystemConfig.h"

#include "game/CConfiguration.h"
#include "io/IFileSystem.h"

namespace pellora::settings
{

CSystemConfig::CSystemConfig(zu::io::IFileSystem* fileSystem)
    : m_fileSystem(fileSystem), m_config(new zu::game::CConfiguration(fileSystem))
{
    if (m_fileSystem && m_fileSystem->existFile(m_path, false))
        m_config->load();

    int width = 800, height = 600;
    if (m_config->hasKey("settings:screenWidth") && m_config->hasKey("settings:screenHeight"))
    {
        int w = m_config->getInt("settings:screenWidth");
        int h = m_config->getInt("settings:screenHeight");
        // Odd or non-positive sizes fall back to the default as a pair.
        if (w > 0 && h > 0 && w % 2 == 0 && h % 2 == 0)
        {
            width = w;
            height = h;
        }
    }
    m_config->setString("settings:screenWidth", zu::core::CString::fromInt(width));
    m_config->setString("settings:screenHeight", zu::core::CString::fromInt(height));

    const char* defaults[][2] = {
        {"settings:fullscreen", "0"}, {"settings:driver", "DX9"}, {"settings:vsync", "1"}};
    for (const auto& d : defaults)
        if (!m_config->hasKey(d[0]))
            m_config->setString(d[0], d[1]);
}

CSystemConfig::~CSystemConfig() { delete m_config; }

zu::core::SDimension2i CSystemConfig::getScreenSize() const
{
    return {m_config->getInt("settings:screenWidth"), m_config->getInt("settings:screenHeight")};
}

bool CSystemConfig::isFullscreen() const { return m_config->getInt("settings:fullscreen") != 0; }

bool CSystemConfig::isVSync() const { return m_config->getInt("settings:vsync") != 0; }

zu::core::CString CSystemConfig::getDriver() const
{
    zu::core::CString driver;
    m_config->getString("settings:driver", driver);
    return driver;
}

} // namespace pellora::settings
