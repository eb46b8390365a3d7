// CDeviceHeadless: a device without a window. It runs the whole engine on the
// null video driver, for automated runs and machines without a display; input
// reaches it only as scripted events.
#pragma once

#include "platform/CPlatformDevice.h"

namespace kelvo
{
class CDeviceHeadless : public CPlatformDevice
{
public:
    // gameResources is the game folder; empty means the executable's folder.
    CDeviceHeadless(const zu::core::CString& applicationVersion,
                    const zu::core::CString& gameResources = "", zu::ITimer* timer = nullptr);

    bool createWindow(zu::core::SDimension2i size, bool fullscreen, bool ignored, bool vsync,
                      int iconId) override;
    bool run() override;
    bool showSettingsDialog(const std::vector<zu::core::CString>&, int) override { return false; }
    bool swapBuffers() override { return true; }

    bool setFullscreen(bool on) override;
    bool isFullscreen() const override { return m_fullscreen; }
    void setWindowSize(zu::core::SDimension2i size) override;
    void setWindowCaption(const zu::core::CString& text) override { m_caption = text; }
    void moveWindow(int, int) override {}
    void setResizable(bool) override {}
    bool isWindowActive() const override { return true; }
    void closeDevice() override { m_quit = true; }

    const zu::core::CString& getWindowCaption() const { return m_caption; }

private:
    zu::core::CString m_caption;
    bool m_fullscreen = false;
    bool m_quit = false;

};

} // namespace kelvo
