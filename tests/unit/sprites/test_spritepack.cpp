// The packer command on pictures made by ImageMagick: a folder of frames, a
// manifest in every file version, the readable dump, and its complaints.
#include "SpriteTestSupport.h"

#include "SpritePackageDump.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

using kelvo::video::CSpritePackage;
using namespace zu::video;

namespace
{

// Runs a program found on PATH (or by its path) with its output and errors
// going to a file; returns the exit status.
int run(std::vector<std::string> args, const std::string& outputFile)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid;
    int status = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int pack(const std::vector<std::string>& args, const std::string& outputFile)
{
    std::vector<std::string> all = {PELLORA_SPRITEPACK};
    all.insert(all.end(), args.begin(), args.end());
    return run(all, outputFile);
}

class SpritePacker : public spritetest::SpriteTest
{
  protected:
    void SetUp() override
    {
        m_frames = m_folder + "/frames";
        ASSERT_EQ(iotest::runTool({"mkdir", m_frames}), 0);
        // Two walk frames: coloured squares on a transparent 20 x 10; a
        // white round glyph with soft edges; a picture too large for a
        // 128-pixel page; Targa pictures, stored top row first and bottom row
        // first, each with a red top row over blue.
        const std::vector<std::vector<std::string>> commands = {
            {"convert", "-size", "20x10", "xc:none", "-fill", "red", "-draw", "rectangle 4,2 9,7",
             m_frames + "/walk_01.png"},
            {"convert", "-size", "20x10", "xc:none", "-fill", "blue", "-draw", "rectangle 5,2 10,7",
             m_frames + "/walk_02.png"},
            {"convert", "-size", "8x12", "xc:none", "-fill", "white", "-draw", "circle 4,6 4,2",
             m_frames + "/65.png"},
            {"convert", "-size", "300x100", "xc:#336699", m_frames + "/big.png"},
            {"convert", "-size", "6x4", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 5,0",
             "-alpha", "on", "-orient", "TopLeft", m_frames + "/jump.tga"},
            {"convert", "-size", "3x2", "xc:blue", "-fill", "red", "-draw", "rectangle 0,0 2,0",
             m_folder + "/duck.ppm"},
        };
        for (const auto& command : commands)
            ASSERT_EQ(iotest::runTool(command), 0) << command.back();
        // netpbm writes its Targa files bottom row first.
        ASSERT_EQ(run({"ppmtotga", "-rgb", m_folder + "/duck.ppm"}, m_frames + "/duck.tga"), 0);
    }

    std::string m_frames;
    std::string m_log = m_folder + "/packer.txt";
};

} // namespace

TEST_F(SpritePacker, FolderOfFramesBecomesAPackage)
{
    const std::string out = m_folder + "/folder.spr";
    ASSERT_EQ(pack({"--page", "128", m_frames, out}, m_log), 0) << iotest::readDiskFile(m_log);
    CSpritePackage* package = load(out);
    ASSERT_TRUE(package);
    EXPECT_EQ(package->getVersion(), 4);
    EXPECT_EQ(package->getPageSize(), 128);
    EXPECT_EQ(package->getPagePixelFormat(), 1);
    EXPECT_EQ(package->getAnimationNames(),
              (std::vector<zu::core::CString>{"65", "big", "duck", "jump", "walk"}));

    ISpriteAnimationState* walk = package->createState("walk");
    ASSERT_TRUE(walk);
    ASSERT_EQ(walk->getFrameCount(), 2);
    EXPECT_EQ(walk->getSize(0), (zu::core::SDimension2i{6, 6}));
    EXPECT_EQ(walk->getOriginalSize(0), (zu::core::SDimension2i{20, 10}));
    EXPECT_EQ(walk->getOffset(1).x, 5);
    EXPECT_EQ(walk->getOffset(1).y, 2);
    const SRecti red = walk->getSourceRect(0);
    EXPECT_EQ(pixel(walk->getTexture(0), red.left, red.top), 0xFFFF0000u);
    const SRecti blue = walk->getSourceRect(1);
    EXPECT_EQ(pixel(walk->getTexture(1), blue.right - 1, blue.bottom - 1), 0xFF0000FFu);
    EXPECT_FALSE(walk->update(0.15f));
    EXPECT_TRUE(walk->update(0.1f)); // the folder's animations loop
    walk->release();

    ISpriteAnimationState* big = package->createState("big");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->getSize(0), (zu::core::SDimension2i{300, 100}));
    EXPECT_EQ(package->getBundles().size(), 1u);
    big->release();

    for (const char* name : {"jump", "duck"})
    {
        SCOPED_TRACE(name);
        ISpriteAnimationState* targa = package->createState(name);
        ASSERT_TRUE(targa);
        const SRecti rect = targa->getSourceRect(0);
        EXPECT_EQ(rect.getWidth(), name[0] == 'j' ? 6 : 3);
        EXPECT_EQ(pixel(targa->getTexture(0), rect.left, rect.top), 0xFFFF0000u);
        EXPECT_EQ(pixel(targa->getTexture(0), rect.left, rect.bottom - 1), 0xFF0000FFu);
        targa->release();
    }

    // A font's glyph is found by its character code.
    ISpriteAnimationState* glyph = package->createState(65);
    ASSERT_TRUE(glyph);
    EXPECT_EQ(glyph->getOriginalSize(0), (zu::core::SDimension2i{8, 12}));
    glyph->release();
}

TEST_F(SpritePacker, PixelFormatFollowsThePictures)
{
    struct SCase
    {
        const char* file;
        int32_t format;
    };
    for (const SCase& c : {SCase{"65.png", 2}, SCase{"big.png", 0}, SCase{"walk_01.png", 0}})
    {
        SCOPED_TRACE(c.file);
        const std::string manifest = m_folder + "/" + c.file + ".txt";
        iotest::writeDiskFile(manifest, std::string("animation a\nframe frames/") + c.file + "\n");
        const std::string out = m_folder + "/" + c.file + ".spr";
        ASSERT_EQ(pack({manifest, out}, m_log), 0) << iotest::readDiskFile(m_log);
        CSpritePackage* package = load(out);
        ASSERT_TRUE(package);
        EXPECT_EQ(package->getPagePixelFormat(), c.format);
    }
}

TEST_F(SpritePacker, ManifestInEveryVersion)
{
    const std::string manifest = m_folder + "/hero.txt";
    iotest::writeDiskFile(manifest, "# the hero\n"
                                    "animation walk loop hotspot 10 9 duration 80\n"
                                    "    frame frames/walk_01.png\n"
                                    "    frame frames/walk_02.png duration 120\n"
                                    "animation stand\n"
                                    "    frame frames/walk_01.png hotspot 10 9 duration forever\n"
                                    "animation wave hotspot 1 1\n"
                                    "    frame frames/jump.tga step 1\n"
                                    "    frame frames/65.png step -1\n");
    std::vector<std::vector<kelvo::video::SSpriteImageRecord>> tables;
    for (int version = 0; version <= 4; ++version)
    {
        SCOPED_TRACE(version);
        const std::string out = m_folder + "/hero" + std::to_string(version) + ".spr";
        ASSERT_EQ(pack({"--version", std::to_string(version), manifest, out}, m_log), 0)
            << iotest::readDiskFile(m_log);
        CSpritePackage* package = load(out);
        ASSERT_TRUE(package);
        EXPECT_EQ(package->getVersion(), version);
        // walk_01 with the same hotspot is stored once.
        EXPECT_EQ(package->getImages().size(), 4u);
        ASSERT_EQ(package->getAnimations().size(), 3u);
        const auto& stand = package->getAnimations()[0];
        const auto& walk = package->getAnimations()[1];
        const auto& wave = package->getAnimations()[2];
        EXPECT_EQ(stand.durations, (std::vector<int32_t>{-1}));
        EXPECT_EQ(walk.durations, (std::vector<int32_t>{80, 120}));
        EXPECT_EQ(walk.steps, (std::vector<int32_t>{1, -1}));
        EXPECT_EQ(wave.steps, (std::vector<int32_t>{1, -1}));
        EXPECT_EQ(wave.durations, (std::vector<int32_t>{100, 100}));
        EXPECT_EQ(stand.imageIds, (std::vector<int32_t>{walk.imageIds[0]}));

        ISpriteAnimationState* state = package->createState("walk");
        ASSERT_TRUE(state);
        // Hotspot (10, 9), trim (4, 2): the picture starts 6 left, 7 up.
        EXPECT_EQ(state->getOffset(0).x, -6);
        EXPECT_EQ(state->getOffset(0).y, -7);
        EXPECT_EQ(state->getOriginalOffset(0).x, version >= 2 ? -10 : -6);
        state->release();

        std::vector<kelvo::video::SSpriteImageRecord> images = package->getImages();
        for (auto& image : images)
            image.originalOffset = image.offset, image.originalSize = {};
        tables.push_back(images);
    }
    // Every version places the same rectangles at the same offsets.
    for (size_t v = 1; v < tables.size(); ++v)
        for (size_t i = 0; i < tables[0].size(); ++i)
        {
            EXPECT_EQ(tables[v][i].page, tables[0][i].page);
            EXPECT_EQ(tables[v][i].sourceRect.left, tables[0][i].sourceRect.left);
            EXPECT_EQ(tables[v][i].sourceRect.bottom, tables[0][i].sourceRect.bottom);
            EXPECT_EQ(tables[v][i].offset.x, tables[0][i].offset.x);
        }
}

TEST_F(SpritePacker, DumpPrintsEveryTable)
{
    const std::string out = m_folder + "/dump.spr";
    ASSERT_EQ(pack({"--page", "128", "--version", "3", m_frames, out}, m_log), 0);
    const std::string dumpFile = m_folder + "/dump.txt";
    ASSERT_EQ(pack({"--dump", out}, dumpFile), 0);
    const std::string text = iotest::readDiskFile(dumpFile);
    for (const char* expected :
         {"version 3", "pages: 3 of 128 x 128 pixels, pixel format 1",
          "images: 5, bundles: 1, animations: 5", "page 0: at byte 28, 65536 bytes stored",
          "page 1: at byte 65564, 65536 bytes stored, 12800 pixels visible",
          "\"walk_01.png\": offset (0, 0), trim (4, 2)", "size 6 x 6, original size 20 x 10",
          "\"big.png\": offset (0, 0), trim (0, 0), 3 parts in 3 columns", "\"walk\": 2 frames",
          "frame 1: image 5, 100 ms, step -1"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;

    // A cut package says where it stopped.
    std::string bytes = iotest::readDiskFile(out);
    iotest::writeDiskFile(out, bytes.substr(0, bytes.size() - 5));
    EXPECT_EQ(pack({"--dump", out}, dumpFile), 1);
    EXPECT_NE(iotest::readDiskFile(dumpFile).find("cut short"), std::string::npos);
}

TEST_F(SpritePacker, ComplaintsAreClear)
{
    const std::string manifest = m_folder + "/bad.txt";
    struct SCase
    {
        std::string manifest;
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const std::string out = m_folder + "/bad.spr";
    const SCase cases[] = {
        {"animation a\nframe frames/walk_01.png hotspot 1\n",
         {manifest, out},
         1,
         "bad.txt:2: cannot understand \"hotspot\""},
        {"frame frames/walk_01.png\n", {manifest, out}, 1, "a frame before any"},
        {"animation a\nframe frames/none.png\n", {manifest, out}, 1, "none.png"},
        {"animation a\nframe frames/walk_01.png\nanimation a\n",
         {manifest, out},
         1,
         "\"a\" is used twice"},
        {"", {"--version", "5", manifest, out}, 2, "bad value for --version"},
        {"", {"--page", "9000", manifest, out}, 2, "bad value for --page"},
        {"", {"--shiny", manifest, out}, 2, "unknown option --shiny"},
        {"", {manifest}, 2, "give one input and one output"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.message);
        iotest::writeDiskFile(manifest, c.manifest);
        EXPECT_EQ(pack(c.args, m_log), c.status);
        EXPECT_NE(iotest::readDiskFile(m_log).find(c.message), std::string::npos)
            << iotest::readDiskFile(m_log);
    }
}

TEST(SpriteDump, ReadsWriterPackages)
{
    pellora::spritepack::CSpriteWriter writer;
    writer.addImage(spritetest::solid(3, 3, 0xFFFFFFFF).data(), 3, 3, 1, 1, "dot");
    writer.addAnimation("blink", {{0, 250, 1}, {0, -1, -1}});
    std::string text;
    EXPECT_TRUE(pellora::spritepack::dumpSpritePackage(spritetest::written(writer, 4), text));
    EXPECT_NE(text.find("id 0 \"dot\": offset (-1, -1), trim (0, 0), page 0 at (0, 0), size 3 x 3"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("frame 1: image 0, forever, step -1"), std::string::npos) << text;
}

TEST(SpriteDump, APageCountTheFileCannotHoldStopsBeforeAnyTable)
{
    // Version 4, 8-pixel pages, 2^31 - 1 of them, and nothing after the header.
    spritetest::SPackageBytes file;
    file.header(4, 8, 1, 0x7FFFFFFF, 0, 0, 0);
    std::string text;
    EXPECT_FALSE(pellora::spritepack::dumpSpritePackage(file.bytes, text));
    EXPECT_NE(text.find("cut short: page data expected at byte 28 of 28"), std::string::npos)
        << text;
}
