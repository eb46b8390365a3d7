#include "platform/COSOperator.h"
#include "platform/CRegistryFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{

class OSOperatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pellora-os-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", (m_dir + "/data").c_str(), 1);
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + m_dir + "'";
        (void)!system(command.c_str());
    }
    std::string m_dir;
};

} // namespace

TEST_F(OSOperatorTest, FoldersUseForwardSlashesAndOneTrailingSlash)
{
    auto* os = new kelvo::COSOperator("test");
    EXPECT_EQ(os->getAppDataFolder("a/b").str(), m_dir + "/data/a/b");
    EXPECT_EQ(os->getAppDataFolder("").str(), m_dir + "/data/");
    zu::core::CString exe = os->getExecutableFolder();
    EXPECT_TRUE(exe.endsWith("/unit/platform/")) << exe.c_str();
    EXPECT_EQ(os->getExecutablePath().str(), exe.str() + "test_platform");
    EXPECT_EQ(kelvo::COSOperator::normaliseFolder("C:\\Games\\Run").str(), "C:/Games/Run/");
    EXPECT_EQ(kelvo::COSOperator::normaliseFolder("/tmp/").str(), "/tmp/");
    os->drop();
}

TEST_F(OSOperatorTest, RegistryValuesPersistAndAbsentValuesReadZero)
{
    auto* os = new kelvo::COSOperator("test");
    EXPECT_EQ(os->getRegistryValue(true, "Software\\Game", "volume"), 0);
    EXPECT_EQ(os->setRegistryValue(true, "Software\\Game", "volume", -7), 0);
    EXPECT_EQ(os->setRegistryValue(true, "Software\\Game", "level", 2147483647), 0);
    os->drop();

    os = new kelvo::COSOperator("test");
    EXPECT_EQ(os->getRegistryValue(true, "Software\\Game", "volume"), -7);
    EXPECT_EQ(os->getRegistryValue(true, "Software\\Game", "level"), 2147483647);
    EXPECT_EQ(os->getRegistryValue(false, "Software\\Game", "volume"), 0);
    EXPECT_EQ(os->getRegistryValue(true, "Software\\Game", "missing"), 0);
    os->drop();
}

TEST_F(OSOperatorTest, RegistryFileSkipsDamagedLinesAndLeavesNoTemporaryFile)
{
    std::string path = m_dir + "/reg/registry.txt";
    kelvo::CRegistryFile registry(path);
    ASSERT_TRUE(registry.set("HKCU\\k\\a", 1));
    {
        std::ofstream add(path, std::ios::app);
        add << "garbage line\nHKCU\\k\\b=notanumber\nHKCU\\k\\c=99999999999\n=5\n";
    }
    int32_t value = 0;
    EXPECT_TRUE(registry.get("HKCU\\k\\a", value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(registry.get("HKCU\\k\\b", value));
    EXPECT_FALSE(registry.get("HKCU\\k\\c", value));
    EXPECT_FALSE(registry.set("bad=name", 1));
    ASSERT_TRUE(registry.set("HKCU\\k\\d", 4));
    EXPECT_NE(access((m_dir + "/reg").c_str(), F_OK), -1);
    std::string listing;
    std::string command = "ls " + m_dir + "/reg";
    FILE* ls = popen(command.c_str(), "r");
    char buffer[256];
    while (fgets(buffer, sizeof buffer, ls))
        listing += buffer;
    pclose(ls);
    EXPECT_EQ(listing, "registry.txt\n");
}

TEST_F(OSOperatorTest, ProgramsStartWithoutAShellAndTheirArgumentsAsGiven)
{
    auto* os = new kelvo::COSOperator("test");
    os->runProcess("touch", (m_dir + "/plain").c_str());
    for (int i = 0; i < 200 && access((m_dir + "/plain").c_str(), F_OK) != 0; ++i)
        usleep(10000);
    EXPECT_EQ(access((m_dir + "/plain").c_str(), F_OK), 0);
    os->runProcess("no-such-program-here", "x");
    os->drop();
}

TEST_F(OSOperatorTest, ClipboardWithoutDisplayStaysInTheProcess)
{
    auto* os = new kelvo::COSOperator("test");
    os->copyToClipboard("hello");
    os->copyToClipboard("");
    EXPECT_EQ(os->getTextFromClipboard().str(), "hello");
    os->drop();
}
