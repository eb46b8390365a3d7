#include "host/CSystemConfig.h"
#include "io/CFileSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

struct Case
{
    const char* what;
    const char* file; // null: no file at all
    int width, height;
    bool fullscreen, vsync;
    const char* driver;
};

} // namespace

TEST(SystemConfig, StartUpSettingsFromTheGameFolder)
{
    const Case cases[] = {
        {"no file", nullptr, 800, 600, false, true, "DX9"},
        {"valid size", "settings{screenWidth = 1024; screenHeight = 768;}", 1024, 768, false, true,
         "DX9"},
        {"odd width resets both", "settings{screenWidth = 1023; screenHeight = 768;}", 800, 600,
         false, true, "DX9"},
        {"zero width resets both", "settings{screenWidth = 0; screenHeight = 768;}", 800, 600,
         false, true, "DX9"},
        {"negative height", "settings{screenWidth = 1024; screenHeight = -768;}", 800, 600, false,
         true, "DX9"},
        {"one size key only", "settings{screenWidth = 1024;}", 800, 600, false, true, "DX9"},
        {"no blank after =", "settings{screenWidth=1280;screenHeight=720;}", 1280, 720, false,
         true, "DX9"},
        {"lower-case dx9 is another driver", "settings{driver = dx9;}", 800, 600, false, true,
         "dx9"},
        {"fullscreen yes reads 0", "settings{fullscreen = yes;}", 800, 600, false, true, "DX9"},
        {"fullscreen 2 is on, vsync off", "settings{fullscreen = 2; vsync = 0;}", 800, 600, true,
         false, "DX9"},
        {"other block ignored", "video{screenWidth = 1024; screenHeight = 768;}", 800, 600, false,
         true, "DX9"},
    };
    char pattern[] = "/tmp/pellora-cfg-XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::string path = dir + "/pellora.cfg";
    for (const Case& c : cases)
    {
        std::remove(path.c_str());
        if (c.file)
        {
            FILE* f = std::fopen(path.c_str(), "w");
            std::fputs(c.file, f);
            std::fclose(f);
        }
        auto* fs = new kelvo::io::CFileSystem();
        fs->addDirAlias("$GAME_RESOURCES$", dir.c_str());
        {
            pellora::settings::CSystemConfig config(fs);
            EXPECT_EQ(config.getScreenSize().width, c.width) << c.what;
            EXPECT_EQ(config.getScreenSize().height, c.height) << c.what;
            EXPECT_EQ(config.isFullscreen(), c.fullscreen) << c.what;
            EXPECT_EQ(config.isVSync(), c.vsync) << c.what;
            EXPECT_EQ(config.getDriver().str(), c.driver) << c.what;
        }
        fs->drop();
    }
    std::remove(path.c_str());
    rmdir(dir.c_str());
}
