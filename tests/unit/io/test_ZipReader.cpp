// Zip archives written by real tools, read back through the file system.
#include "IoTestSupport.h"

#include "io/CFileSystem.h"
#include "io/CMemoryReadFile.h"
#include "io/CZipReader.h"
#include "io/IFileList.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <memory>

using iotest::CCapture;
using kelvo::io::CFileSystem;
using kelvo::io::CZipReader;
using zu::core::CString;

namespace
{

const char* const kMembers[] = {"readme.txt", "empty.txt", "img/noise.bin",
                                "img/a.png",  "img/b.png", "sound/beep.ogg"};

struct FileSystemDeleter
{
    void operator()(zu::IUnknown* object) const { object->drop(); }
};
template <class T> using Ref = std::unique_ptr<T, FileSystemDeleter>;

class ZipArchives : public ::testing::Test
{
  protected:
    // ctest runs every test in its own process, so the archives are made once
    // per version of the script and shared through the test data folder; a
    // fresh folder is moved into place whole, so concurrent runs never see
    // half-written archives.
    static void SetUpTestSuite()
    {
        struct stat script;
        ASSERT_EQ(0, stat(PELLORA_MAKE_ARCHIVES, &script));
        const char* data = getenv("PELLORA_TEST_DATA");
        std::string shared;
        if (data && *data)
        {
            mkdir(data, 0755);
            shared = std::string(data) + "/archives-" + std::to_string(script.st_mtime) + "-" +
                     std::to_string(script.st_size);
            if (iotest::fileExists(shared + "/readme-made"))
            {
                s_dir = shared;
                return;
            }
        }
        std::string fresh = iotest::makeScratchFolder("zip");
        ASSERT_FALSE(fresh.empty());
        ASSERT_EQ(0, iotest::runTool({PELLORA_PYTHON, PELLORA_MAKE_ARCHIVES, fresh}));
        iotest::writeDiskFile(fresh + "/readme-made", "made by make_archives.py\n");
        s_dir = fresh;
        if (!shared.empty() && (rename(fresh.c_str(), shared.c_str()) == 0 ||
                                iotest::fileExists(shared + "/readme-made")))
            s_dir = shared;
    }

    static std::string source(const std::string& member)
    {
        return iotest::readDiskFile(s_dir + "/src/" + member);
    }
    static std::string archiveBytes(const std::string& archive)
    {
        return iotest::readDiskFile(s_dir + "/" + archive);
    }
    // A reader over bytes held in memory, for archives damaged on purpose.
    static Ref<CZipReader> readerOver(const std::string& bytes)
    {
        uint8_t* copy = new uint8_t[bytes.size()];
        memcpy(copy, bytes.data(), bytes.size());
        auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(bytes.size()), true, "mem.zip");
        CZipReader* reader = CZipReader::create(file);
        file->drop();
        return Ref<CZipReader>(reader);
    }
    static std::string readMember(zu::io::IArchiveReader& reader, const char* name, bool& opened)
    {
        zu::io::IReadFile* file = reader.createAndOpenFile(name);
        opened = file != nullptr;
        if (!file) return std::string();
        std::string bytes = iotest::readAll(file);
        file->drop();
        return bytes;
    }

    Ref<CFileSystem> m_fs{new CFileSystem()};
    CCapture m_capture;
    static std::string s_dir;
};
std::string ZipArchives::s_dir;

class ZipFromTool : public ZipArchives, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ZipFromTool, EveryMemberReadsBackEqualToItsSource)
{
    std::string archive = s_dir + "/" + GetParam();
    if (!iotest::fileExists(archive))
        GTEST_SKIP() << "the tool that writes " << GetParam() << " is not installed";
    for (const char* member : kMembers)
    {
        SCOPED_TRACE(member);
        zu::io::IReadFile* file = m_fs->createAndOpenFile(archive + "/" + member);
        ASSERT_NE(nullptr, file);
        std::string expected = source(member);
        EXPECT_EQ(int32_t(expected.size()), file->getSize());
        EXPECT_TRUE(iotest::readAll(file) == expected);
        EXPECT_EQ(0, file->read(nullptr, 0));
        file->drop();
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ZipFromTool,
                         ::testing::Values("deflated.zip", "stored.zip", "descriptor.zip",
                                           "tool.jar.zip"));

TEST_F(ZipArchives, DataDescriptorEntriesAreReallyExercised)
{
    auto* reader = dynamic_cast<CZipReader*>(m_fs->getArchive(CString(s_dir + "/descriptor.zip")));
    ASSERT_NE(nullptr, reader);
    ASSERT_EQ(7, reader->getFileCount());
    for (int32_t i = 0; i < reader->getFileCount(); ++i)
        EXPECT_TRUE(reader->getEntry(i).flags & 0x08) << reader->getEntry(i).fullName.c_str();
    bool opened = false;
    EXPECT_EQ(source("readme.txt"), readMember(*reader, "stored/readme.txt", opened));
    EXPECT_TRUE(opened);
}

TEST_F(ZipArchives, EntriesAreSortedBySimpleName)
{
    auto* reader = dynamic_cast<CZipReader*>(m_fs->getArchive(CString(s_dir + "/deflated.zip")));
    ASSERT_NE(nullptr, reader);
    std::vector<std::string> names;
    for (int32_t i = 0; i < reader->getFileCount(); ++i)
        names.push_back(reader->getEntry(i).simpleName.str());
    EXPECT_EQ((std::vector<std::string>{"a.png", "b.png", "beep.ogg", "empty.txt", "noise.bin",
                                        "readme.txt"}),
              names);
    EXPECT_TRUE(CCapture::logged("Opening zip file"));
}

TEST_F(ZipArchives, EncryptedMembersFailCleanly)
{
    for (const char* member : kMembers)
    {
        SCOPED_TRACE(member);
        CCapture::lines().clear();
        EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/encrypted.zip/" + member));
        EXPECT_TRUE(CCapture::logged("encrypted"));
    }
}

TEST_F(ZipArchives, Bzip2MembersAreRefusedAndStoredOnesStillRead)
{
    auto* reader = dynamic_cast<CZipReader*>(m_fs->getArchive(CString(s_dir + "/bzip2.zip")));
    ASSERT_NE(nullptr, reader);
    int refused = 0;
    for (const char* member : kMembers)
    {
        SCOPED_TRACE(member);
        int32_t index = reader->findEntry(member);
        ASSERT_GE(index, 0);
        CCapture::lines().clear();
        bool opened = false;
        std::string bytes = readMember(*reader, member, opened);
        if (reader->getEntry(index).compressionMethod == 12)
        {
            ++refused;
            EXPECT_FALSE(opened);
            EXPECT_TRUE(CCapture::logged("file has unsupported compression method."));
        }
        else
            EXPECT_EQ(source(member), bytes);
    }
    EXPECT_GT(refused, 0);
}

TEST_F(ZipArchives, BackslashInStoredNameIsFoundWithSlash)
{
    zu::io::IReadFile* file = m_fs->createAndOpenFile(s_dir + "/backslash.zip/img/a.png");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(source("img/a.png"), iotest::readAll(file));
    file->drop();
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/backslash.zip/img\\a.png"));
}

TEST_F(ZipArchives, MemberPartIsNotNormalised)
{
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/deflated.zip\\img\\a.png"));
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/deflated.zip/img\\a.png"));
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/deflated.zip/IMG/a.png"));
    zu::io::IReadFile* file = m_fs->createAndOpenFile(s_dir + "/deflated.zip//img/a.png");
    ASSERT_NE(nullptr, file) << "one leading slash of the member is dropped";
    file->drop();
}

TEST_F(ZipArchives, StoredMembersReadInterleavedKeepTheirOwnPositions)
{
    zu::io::IArchiveReader* reader = m_fs->getArchive(CString(s_dir + "/stored.zip"));
    ASSERT_NE(nullptr, reader);
    const char* names[2] = {"img/noise.bin", "img/a.png"};
    zu::io::IReadFile* files[2] = {reader->createAndOpenFile(names[0]),
                                   reader->createAndOpenFile(names[1])};
    ASSERT_TRUE(files[0] && files[1]);
    std::string got[2];
    char buffer[777];
    for (bool progress = true; progress;)
    {
        progress = false;
        for (int k = 0; k < 2; ++k)
        {
            int32_t n = files[k]->read(buffer, sizeof buffer);
            got[k].append(buffer, size_t(n > 0 ? n : 0));
            progress = progress || n > 0;
        }
    }
    for (int k = 0; k < 2; ++k)
    {
        EXPECT_TRUE(got[k] == source(names[k])) << names[k];
        files[k]->drop();
    }
}

TEST_F(ZipArchives, LimitWindowSeeksStayInsideTheMember)
{
    zu::io::IReadFile* file = m_fs->createAndOpenFile(s_dir + "/stored.zip/img/b.png");
    ASSERT_NE(nullptr, file);
    const int32_t size = file->getSize();
    EXPECT_FALSE(file->seek(size + 1));
    EXPECT_TRUE(file->seek(size - 2));
    EXPECT_TRUE(file->seek(100, true)) << "relative seeks clamp to the end";
    EXPECT_EQ(size, file->getPos());
    EXPECT_FALSE(file->seek(-size - 1, true));
    EXPECT_TRUE(file->seek(256 + 10));
    uint8_t byte = 0;
    EXPECT_EQ(1, file->read(&byte, 1));
    EXPECT_EQ(10, byte);
    file->drop();
}

TEST_F(ZipArchives, LongNamesAreSkipped)
{
    auto* reader = dynamic_cast<CZipReader*>(m_fs->getArchive(CString(s_dir + "/longname.zip")));
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ(2, reader->getFileCount());
    bool opened = false;
    EXPECT_EQ("last", readMember(*reader, "last.txt", opened));
    EXPECT_EQ("first", readMember(*reader, "first.txt", opened));
}

TEST_F(ZipArchives, NonArchiveFailsWithLogAndIsNotCached)
{
    CString path(s_dir + "/not-a.zip");
    EXPECT_EQ(nullptr, m_fs->getArchive(path));
    EXPECT_TRUE(CCapture::logged("Error opening zip file"));
    EXPECT_EQ(nullptr, m_fs->getArchive(CString(s_dir + "/missing.zip")));
    EXPECT_EQ(nullptr, m_fs->createAndOpenFile(s_dir + "/not-a.zip/readme.txt"));
}

// Little-endian patching of a real archive's first local header.
void put32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

TEST_F(ZipArchives, DamagedArchivesFailWithALogLineNeverWithGarbage)
{
    const std::string original = archiveBytes("single.zip");
    ASSERT_GT(original.size(), 100u);
    const uint16_t nameLength = uint16_t(uint8_t(original[26]) | (uint8_t(original[27]) << 8));
    const std::string firstName = original.substr(30, nameLength);
    struct Case
    {
        const char* what;
        void (*damage)(std::string& bytes, size_t dataOffset);
        const char* logged;
    };
    const Case cases[] = {
        {"compressed bytes overwritten",
         [](std::string& b, size_t at) { memset(&b[at], 0x5A, 40); }, "Error decompressing"},
        {"uncompressed size lies high", [](std::string& b, size_t) { put32(b, 22, 0x7FFFFFF0u); },
         "Error decompressing"},
        {"uncompressed size lies low", [](std::string& b, size_t) { put32(b, 22, 3); },
         "Error decompressing"},
        {"checksum wrong", [](std::string& b, size_t) { put32(b, 14, 0x12345678u); }, "checksum"},
        {"Zip64 size marker", [](std::string& b, size_t) { put32(b, 22, 0xFFFFFFFFu); }, "Zip64"},
        {"encryption flag", [](std::string& b, size_t) { b[6] = char(b[6] | 1); }, "encrypted"},
        {"unknown method", [](std::string& b, size_t) { b[8] = 99; },
         "file has unsupported compression method."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::string bytes = original;
        c.damage(bytes, 30 + nameLength + (uint8_t(original[28]) | (uint8_t(original[29]) << 8)));
        Ref<CZipReader> reader = readerOver(bytes);
        ASSERT_TRUE(reader);
        CCapture::lines().clear();
        bool opened = true;
        readMember(*reader, firstName.c_str(), opened);
        EXPECT_FALSE(opened);
        EXPECT_TRUE(CCapture::logged(c.logged));
    }
}

TEST_F(ZipArchives, TruncatedArchiveKeepsTheMembersBeforeTheCut)
{
    const std::string original = archiveBytes("stored.zip");
    for (size_t cut : {original.size() / 2, original.size() - 30, size_t(40), size_t(4)})
    {
        SCOPED_TRACE(cut);
        Ref<CZipReader> reader = readerOver(original.substr(0, cut));
        ASSERT_TRUE(reader);
        for (int32_t i = 0; i < reader->getFileCount(); ++i)
        {
            const auto& entry = reader->getEntry(i);
            CString name = entry.fullName.empty() ? entry.simpleName : entry.fullName;
            bool opened = false;
            std::string bytes = readMember(*reader, name.c_str(), opened);
            EXPECT_TRUE(opened);
            EXPECT_TRUE(bytes == source(name.str())) << name.c_str();
        }
    }
}

TEST_F(ZipArchives, ArchiveFolderListings)
{
    const std::string zip = s_dir + "/deflated.zip";
    struct Case
    {
        std::string folder;
        const char* filter;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {zip + "/img", "*.png", {"a.png", "b.png"}},
        {zip + "/img", "*", {"a.png", "b.png", "noise.bin"}},
        {zip + "/img/", "*.bin", {"noise.bin"}},
        {zip, "*.txt", {"empty.txt", "readme.txt"}},
        {zip + "/img", "", {}},
        {zip + "/img", "a*", {}},
        {zip + "/nothing", "*", {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.folder + " " + c.filter);
        zu::io::IFileList* list = m_fs->createFileList(c.filter, c.folder, zu::io::EFLK_ALL);
        ASSERT_NE(nullptr, list);
        std::vector<std::string> names;
        for (int32_t i = 0; i < list->getFileCount(); ++i)
        {
            names.push_back(list->getFileName(i).str());
            EXPECT_FALSE(list->isDirectory(i));
        }
        EXPECT_EQ(c.names, names);
        list->drop();
    }
    zu::io::IFileList* list = m_fs->createFileList("*.png", zip + "/img", zu::io::EFLK_ALL);
    EXPECT_EQ("img/a.png", list->getFullFileName(0).str());
    EXPECT_TRUE(CCapture::checks().empty());
    EXPECT_EQ("", list->getFileName(2).str());
    EXPECT_EQ((std::vector<std::string>{"index >= 0 && index < (s32)m_files.size()"}),
              CCapture::checks());
    list->drop();
}

TEST_F(ZipArchives, DiskWinsOverArchiveMemberOfTheSamePath)
{
    // "folder.zipped/a.txt" is a disk file and also, through the extension
    // found inside "folder.zipped", the member "ped/a.txt" of "folder.zip".
    zu::io::IReadFile* file = m_fs->createAndOpenFile(s_dir + "/folder.zipped/a.txt");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("from disk", iotest::readAll(file));
    file->drop();
    EXPECT_EQ(CString(s_dir + "/folder.zip"),
              m_fs->findArchivePath(s_dir + "/folder.zipped/a.txt"));
    file = m_fs->createAndOpenFile(s_dir + "/folder.zipped/b.txt");
    EXPECT_EQ(nullptr, file);
    file = m_fs->createAndOpenFile(s_dir + "/folder.zip/ped/a.txt");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("from archive", iotest::readAll(file));
    file->drop();
}

TEST_F(ZipArchives, ExistFileSearchesOnlyArchivesCachedUnderTheResolvedPath)
{
    m_fs->addDirAlias("$DATA$", CString(s_dir));
    const std::string member = s_dir + "/deflated.zip/img/a.png";
    EXPECT_FALSE(m_fs->existFile(member)) << "archive not opened yet";

    zu::io::IReadFile* file = m_fs->createAndOpenFile("$DATA$/deflated.zip/img/a.png");
    ASSERT_NE(nullptr, file);
    file->drop();
    EXPECT_FALSE(m_fs->existFile(member)) << "cached only under the alias form";
    EXPECT_FALSE(m_fs->existFile("$DATA$/deflated.zip/img/a.png"));

    file = m_fs->createAndOpenFile(member);
    ASSERT_NE(nullptr, file);
    file->drop();
    EXPECT_TRUE(m_fs->existFile(member));
    EXPECT_TRUE(m_fs->existFile("$DATA$/deflated.zip/img/a.png"));
    EXPECT_FALSE(m_fs->existFile(member, false));
    EXPECT_FALSE(m_fs->existFile(s_dir + "/deflated.zip/img/zzz.png"));
    EXPECT_TRUE(m_fs->existFile(s_dir + "/deflated.zip")) << "the archive itself is a disk file";

    m_fs->removeAllArchives();
    EXPECT_FALSE(m_fs->existFile(member));
}

TEST_F(ZipArchives, ChangingIntoAnArchiveFolder)
{
    const CString before = m_fs->getWorkingDirectory();
    EXPECT_TRUE(m_fs->changeWorkingDirectoryTo(s_dir + "/deflated.zip/img"));
    EXPECT_TRUE(m_fs->isInArchive());
    EXPECT_EQ(CString(s_dir + "/deflated.zip/img"), m_fs->getWorkingDirectory());
    EXPECT_FALSE(m_fs->changeWorkingDirectoryTo(s_dir + "/deflated.zip/nothing"));
    EXPECT_EQ(CString(s_dir + "/deflated.zip/img"), m_fs->getWorkingDirectory());
    EXPECT_TRUE(m_fs->changeWorkingDirectoryTo(before));
    EXPECT_FALSE(m_fs->isInArchive());
}

} // namespace
