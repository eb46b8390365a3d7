// Paths, aliases, disk files and folder listings of the file system.
#include "IoTestSupport.h"

#include "io/CFileList.h"
#include "io/CFileSystem.h"
#include "io/IFileList.h"
#include "io/IWriteFile.h"

#include <cstring>
#include <memory>
#include <sys/stat.h>

using iotest::CCapture;
using kelvo::io::CFileSystem;
using zu::core::CString;

namespace
{

class FileSystem : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_fs->addDirAlias("$GAME_RESOURCES$", "/opt/game\\bin//");
        m_fs->addDirAlias("$NESTED$", "$GAME_RESOURCES$/data");
    }
    void TearDown() override { m_fs->drop(); }

    CCapture m_capture;
    CFileSystem* m_fs = new CFileSystem();
};

TEST_F(FileSystem, ResolvePath)
{
    struct Case
    {
        const char* path;
        const char* resolved;
    };
    const Case cases[] = {
        {"$GAME_RESOURCES$/pellora//img\\a.png", "/opt/game/bin/pellora/img/a.png"},
        {"$MISSING$/a.png", "/a.png"},
        {"$NESTED$/x.cfg", "/opt/game/bin/data/x.cfg"},
        {"junk before $GAME_RESOURCES$/a", "/opt/game/bin/a"},
        {"$GAME_RESOURCES$", "/opt/game/bin"},
        {"relative\\\\dir///file", "relative/dir/file"},
        {"dir/", "dir"},
        {"///", ""},
        {"", ""},
        {"one$dollar/only", "one$dollar/only"},
        {"C:\\Games\\x.zip\\", "C:/Games/x.zip"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.resolved), m_fs->resolvePath(c.path)) << c.path;
}

TEST_F(FileSystem, AliasValuesAreStoredResolved)
{
    EXPECT_EQ(CString("/opt/game/bin"), m_fs->getDirAlias("$GAME_RESOURCES$"));
    EXPECT_EQ(CString("/opt/game/bin/data"), m_fs->getDirAlias("$NESTED$"));
    EXPECT_TRUE(m_fs->hasDirAlias("$NESTED$"));
    EXPECT_FALSE(m_fs->hasDirAlias("NESTED"));
    EXPECT_TRUE(CCapture::checks().empty());
}

TEST_F(FileSystem, AliasMisuseIsACheckedProgrammingError)
{
    struct Case
    {
        const char* alias;
        const char* folder;
        const char* condition;
    };
    const Case cases[] = {
        {"", "/x", "alias.size()"},
        {"$EMPTY$", "", "directory.size()"},
        {"$GAME_RESOURCES$", "/elsewhere", "m_dirAliases.count( alias) == 0"},
    };
    for (const Case& c : cases)
    {
        CCapture::checks().clear();
        m_fs->addDirAlias(c.alias, c.folder);
        EXPECT_EQ(std::vector<std::string>{c.condition}, CCapture::checks()) << c.condition;
    }
    EXPECT_EQ(CString("/opt/game/bin"), m_fs->getDirAlias("$GAME_RESOURCES$")) << "kept";
    EXPECT_FALSE(m_fs->hasDirAlias("$EMPTY$"));

    CCapture::checks().clear();
    EXPECT_EQ(CString(), m_fs->getDirAlias("$NOPE$"));
    EXPECT_EQ(std::vector<std::string>{"m_dirAliases.count( alias )"}, CCapture::checks());
}

TEST_F(FileSystem, FindArchivePath)
{
    m_fs->addArchiveExtension(".pak");
    struct Case
    {
        const char* path;
        const char* archive;
    };
    const Case cases[] = {
        {"folder/data.zip/img/a.png", "folder/data.zip"},
        {"folder/data.zip", "folder/data.zip"},
        {"folder/folder.zipped/a.png", "folder/folder.zip"},
        {".zip/a.png", ""},
        {"a/b.pak/c.zip/d", "a/b.pak"}, // ".pak" sorts before ".zip", so it wins
        {"a/b.PAK/c", ""},
        {"plain/path.txt", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CString(c.archive), m_fs->findArchivePath(c.path)) << c.path;
}

TEST_F(FileSystem, WriteThenReadBack)
{
    std::string dir = iotest::makeScratchFolder("fs");
    m_fs->addDirAlias("$OUT$", CString(dir));
    zu::io::IWriteFile* out = m_fs->createAndWriteFile("$OUT$/data.bin");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(6, out->write("abc\ndef", 6));
    out->drop();
    out = m_fs->createAndWriteFile("$OUT$/data.bin", true);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(6, out->getOpenSize());
    EXPECT_EQ(0, out->getPos());
    EXPECT_EQ(3, out->write("XYZ", 3));
    out->drop();

    zu::io::IReadFile* in = m_fs->createAndOpenFile("$OUT$//data.bin");
    ASSERT_NE(nullptr, in);
    EXPECT_EQ(9, in->getSize());
    char line[16];
    ASSERT_TRUE(in->readLine(line, sizeof line));
    EXPECT_STREQ("abc\n", line);
    ASSERT_TRUE(in->readLine(line, sizeof line));
    EXPECT_STREQ("deXYZ", line);
    EXPECT_FALSE(in->readLine(line, sizeof line));
    EXPECT_GT(in->getLastModified(), 0);
    in->drop();

    zu::io::IReadFile* mem = m_fs->createMemoryReadFile("$OUT$/data.bin");
    ASSERT_NE(nullptr, mem);
    EXPECT_EQ(CString("$OUT$/data.bin"), mem->getFileName());
    EXPECT_EQ("abc\ndeXYZ", iotest::readAll(mem));
    EXPECT_EQ(0, mem->getLastModified());
    mem->drop();

    EXPECT_EQ(nullptr, m_fs->createMemoryReadFile("$OUT$/missing.bin"));
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile("$OUT$")) << "a folder is not a file";
    EXPECT_EQ(nullptr, m_fs->createAndWriteFile("$OUT$/no/such/folder/x.bin"));
    EXPECT_TRUE(CCapture::logged("Unable to create file in CWriteFile::openFile: "));
    EXPECT_EQ(nullptr, m_fs->createAndWriteFile(""));
}

TEST_F(FileSystem, CreateDirectoryMakesOneLevel)
{
    std::string dir = iotest::makeScratchFolder("mkdir");
    EXPECT_TRUE(m_fs->createDirectory(CString(dir + "//new\\")));
    EXPECT_TRUE(m_fs->existFile(CString(dir + "/new")));
    EXPECT_FALSE(m_fs->createDirectory(CString(dir + "/new"))) << "already there";
    EXPECT_FALSE(m_fs->createDirectory(CString(dir + "/a/b")));
    EXPECT_FALSE(m_fs->createDirectory(""));
}

TEST_F(FileSystem, CompressRoundTripAndRefusals)
{
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "pellora " + std::to_string(i % 7) + "\n";
    std::vector<uint8_t> packed(text.size());
    uint32_t packedLength = 0;
    ASSERT_TRUE(m_fs->compressBuffer(packed.data(), uint32_t(packed.size()), text.data(),
                                     uint32_t(text.size()), packedLength));
    EXPECT_EQ(0x78, packed[0]) << "zlib stream header";

    std::vector<char> unpacked(text.size());
    uint32_t unpackedLength = 0;
    ASSERT_TRUE(m_fs->uncompressBuffer(unpacked.data(), uint32_t(unpacked.size()), packed.data(),
                                       packedLength, unpackedLength));
    EXPECT_EQ(text, std::string(unpacked.data(), unpackedLength));

    EXPECT_FALSE(
        m_fs->uncompressBuffer(unpacked.data(), 10, packed.data(), packedLength, unpackedLength))
        << "output does not fit";
    EXPECT_FALSE(m_fs->uncompressBuffer(unpacked.data(), uint32_t(unpacked.size()), packed.data(),
                                        packedLength / 2, unpackedLength))
        << "stream cut short";
    EXPECT_FALSE(
        m_fs->compressBuffer(packed.data(), 4, text.data(), uint32_t(text.size()), packedLength));
}

TEST(FileFilter, WindowsMatchingRules)
{
    struct Case
    {
        const char* name;
        const char* filter;
        bool matches;
    };
    const Case cases[] = {
        {"a.txt", "*.txt", true},
        {"B.TXT", "*.txt", true},
        {"a.txt", "*.TXT", true},
        {"a.txt2", "*.txt", false},
        {"noext", "*.*", true},
        {"a.b.c", "*.*", true},
        {".", "*", true},
        {"..", "*.*", true},
        {"c.png", "?.png", true},
        {"cc.png", "?.png", false},
        {"", "*", true},
        {"abc", "", false},
        {"abc", "a*c", true},
        {"abc", "a*b", false},
        {"noext", "noext.*", true},
        {"aXbXc", "*X*X*", true},
        {"aaaaaaaaab", "*a*a*a*c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.matches, kelvo::io::CFileList::matchesFilter(c.name, c.filter))
            << c.name << " ~ " << c.filter;
}

TEST_F(FileSystem, DiskListingsAreFilteredAndSorted)
{
    std::string dir = iotest::makeScratchFolder("list");
    for (const char* name : {"b.TXT", "noext", "c.png", "a.txt"})
        iotest::writeDiskFile(dir + "/" + name, name);
    mkdir((dir + "/sub").c_str(), 0755);
    m_fs->addDirAlias("$LIST$", CString(dir));
    const CString cwd = m_fs->getWorkingDirectory();

    struct Case
    {
        const char* folder;
        const char* filter;
        zu::io::EFileListKind kind;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"$LIST$", "", zu::io::EFLK_ALL, {}},
        {"$LIST$", "*", zu::io::EFLK_ALL, {".", "..", "a.txt", "b.TXT", "c.png", "noext", "sub"}},
        {"$LIST$/", "*.txt", zu::io::EFLK_ALL, {"a.txt", "b.TXT"}},
        {"$LIST$", "*.*", zu::io::EFLK_FILES, {"a.txt", "b.TXT", "c.png", "noext"}},
        {"$LIST$", "*", zu::io::EFLK_DIRECTORIES, {".", "..", "sub"}},
        {"$LIST$", "?.PNG", zu::io::EFLK_ALL, {"c.png"}},
        {"$LIST$/missing", "*", zu::io::EFLK_ALL, {}},
        {"$LIST$/a.txt", "*", zu::io::EFLK_ALL, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.folder) + " " + c.filter);
        zu::io::IFileList* list = m_fs->createFileList(c.filter, c.folder, c.kind);
        ASSERT_NE(nullptr, list);
        std::vector<std::string> names;
        for (int32_t i = 0; i < list->getFileCount(); ++i)
            names.push_back(list->getFileName(i).str());
        EXPECT_EQ(c.names, names);
        list->drop();
    }

    zu::io::IFileList* list = m_fs->createFileList("*", "$LIST$/", zu::io::EFLK_ALL);
    ASSERT_EQ(7, list->getFileCount());
    EXPECT_EQ(CString("$LIST$/sub"), list->getFullFileName(6));
    EXPECT_TRUE(list->isDirectory(6));
    EXPECT_FALSE(list->isDirectory(2));
    EXPECT_EQ(CString(), list->getFileName(7));
    EXPECT_EQ(CString(), list->getFullFileName(-1));
    EXPECT_FALSE(list->isDirectory(99));
    list->drop();
    EXPECT_EQ(cwd, m_fs->getWorkingDirectory()) << "listing leaves the working directory alone";
}

TEST_F(FileSystem, ChangeWorkingDirectoryOnDisk)
{
    const CString before = m_fs->getWorkingDirectory();
    std::string dir = iotest::makeScratchFolder("cwd");
    EXPECT_FALSE(m_fs->changeWorkingDirectoryTo(CString(dir + "/missing")));
    EXPECT_EQ(before, m_fs->getWorkingDirectory());
    ASSERT_TRUE(m_fs->changeWorkingDirectoryTo(CString(dir)));
    EXPECT_EQ(CString(dir), m_fs->getWorkingDirectory());
    iotest::writeDiskFile(dir + "/here.txt", "here");
    zu::io::IReadFile* file = m_fs->createAndOpenFile("here.txt");
    ASSERT_NE(nullptr, file);
    file->drop();
    EXPECT_TRUE(m_fs->changeWorkingDirectoryTo(before));
}

} // namespace
