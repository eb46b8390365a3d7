// Reading sprite packages: page pixels in each format, the tables in every
// version, lookups by id and name, refusal of malformed files, lazy pages and
// the package's teardown.
#include "SpriteTestSupport.h"

#include "video/ISpriteAnimationImage.h"

#include <zlib.h>

#include <cstdio>
#include <functional>

using kelvo::video::CSpritePackage;
using kelvo::video::SSpriteImageRecord;
using pellora::spritepack::CSpriteWriter;
using spritetest::SPackageBytes;
using namespace zu::video;

namespace
{

class SpritePackage : public spritetest::SpriteTest
{
};

std::vector<uint8_t> zlibOf(const std::vector<uint8_t>& data)
{
    uLongf length = compressBound(uLong(data.size()));
    std::vector<uint8_t> packed(length);
    EXPECT_EQ(compress2(packed.data(), &length, data.data(), uLong(data.size()), 6), Z_OK);
    packed.resize(length);
    return packed;
}

// One page of 2 x 2 with one image covering it and no animations.
std::vector<uint8_t> twoByTwo(int32_t version, int32_t format, const std::vector<uint8_t>& planes)
{
    SPackageBytes file;
    file.header(version, 2, format, 1, 1, 0, 0);
    const std::vector<uint8_t> page = version == 4 ? zlibOf(planes) : planes;
    if (version == 4) file.putInt(int32_t(page.size()));
    file.putBytes(page);
    file.image(0, 0, 0, 0, 0, 0, 2, 2);
    return file.bytes;
}

void expectSameImages(const std::vector<SSpriteImageRecord>& a,
                      const std::vector<SSpriteImageRecord>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
    {
        EXPECT_EQ(a[i].id, b[i].id);
        EXPECT_EQ(a[i].page, b[i].page);
        EXPECT_EQ(a[i].offset.x, b[i].offset.x);
        EXPECT_EQ(a[i].offset.y, b[i].offset.y);
        EXPECT_EQ(a[i].originalOffset.x, b[i].originalOffset.x);
        EXPECT_EQ(a[i].originalOffset.y, b[i].originalOffset.y);
        EXPECT_EQ(a[i].sourceRect.left, b[i].sourceRect.left);
        EXPECT_EQ(a[i].sourceRect.top, b[i].sourceRect.top);
        EXPECT_EQ(a[i].sourceRect.right, b[i].sourceRect.right);
        EXPECT_EQ(a[i].sourceRect.bottom, b[i].sourceRect.bottom);
        EXPECT_EQ(a[i].originalSize, b[i].originalSize);
    }
}

} // namespace

TEST_F(SpritePackage, PixelsOfATwoByTwoPageInEachFormat)
{
    const std::vector<uint8_t> rgb = {255, 0, 0, 10, 0, 255, 0, 20, 0, 0, 255, 30};
    std::vector<uint8_t> rgba = rgb;
    rgba.insert(rgba.end(), {255, 128, 0, 1});
    const std::vector<uint8_t> alpha = {255, 128, 0, 1};
    const std::vector<uint8_t> packed = {0xFF, 0xC0, 0x7F, 0x80};
    struct SCase
    {
        int32_t version, format;
        std::vector<uint8_t> planes;
        uint32_t pixels[4]; // (0,0), (1,0), (0,1), (1,1)
        uint32_t flag;
    };
    const SCase cases[] = {
        {0, 0, rgb, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF0A141E}, ETCF_OPTIMIZED_FOR_SPEED},
        {1, 1, rgba, {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x010A141E}, ETCF_OPTIMIZED_FOR_QUALITY},
        {4, 1, rgba, {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x010A141E}, ETCF_OPTIMIZED_FOR_QUALITY},
        {2, 2, alpha, {0xFFFFFFFF, 0x80FFFFFF, 0x00FFFFFF, 0x01FFFFFF}, ETCF_OPTIMIZED_FOR_QUALITY},
        // Bit 7 marks white with the byte doubled as alpha; else transparent black.
        {3,
         3,
         packed,
         {0xFEFFFFFF, 0x80FFFFFF, 0x00000000, 0x00FFFFFF},
         ETCF_OPTIMIZED_FOR_QUALITY},
        // Version 4 stores format 3 as a plain alpha plane.
        {4,
         3,
         packed,
         {0xFFFFFFFF, 0xC0FFFFFF, 0x7FFFFFFF, 0x80FFFFFF},
         ETCF_OPTIMIZED_FOR_QUALITY},
    };
    int n = 0;
    for (const SCase& c : cases)
    {
        SCOPED_TRACE("version " + std::to_string(c.version) + " format " +
                     std::to_string(c.format));
        const std::string name = "page" + std::to_string(n++) + ".spr";
        CSpritePackage* package = load(name, twoByTwo(c.version, c.format, c.planes));
        ASSERT_TRUE(package);
        EXPECT_EQ(package->getPageNames(),
                  std::vector<zu::core::CString>{"0#" + m_folder + "/" + name});
        EXPECT_FALSE(package->isPageLoaded(0));
        ITexture* page = package->getPageTexture(0);
        ASSERT_TRUE(page);
        EXPECT_TRUE(package->isPageLoaded(0));
        EXPECT_EQ(page->getSize(), (zu::core::SDimension2i{2, 2}));
        EXPECT_EQ(pixel(page, 0, 0), c.pixels[0]);
        EXPECT_EQ(pixel(page, 1, 0), c.pixels[1]);
        EXPECT_EQ(pixel(page, 0, 1), c.pixels[2]);
        EXPECT_EQ(pixel(page, 1, 1), c.pixels[3]);
        EXPECT_EQ(m_driver->getTextureCreationFlags() & 0xF, c.flag);
    }
}

TEST_F(SpritePackage, WriterPackagesReadTheSameInEveryVersion)
{
    // A 4 x 3 picture whose only visible pixels are a 2 x 1 run at (1, 1),
    // with the hotspot at (2, 2), and a 2 x 2 half-transparent one.
    std::vector<uint8_t> framed = spritetest::solid(4, 3, 0);
    spritetest::setPixel(framed, 4, 1, 1, 0xFF112233);
    spritetest::setPixel(framed, 4, 2, 1, 0x80445566);
    CSpriteWriter writer;
    ASSERT_EQ(writer.addImage(framed.data(), 4, 3, 2, 2), 0);
    ASSERT_EQ(writer.addImage(spritetest::solid(2, 2, 0x40FF8000).data(), 2, 2, 0, 0), 1);
    ASSERT_TRUE(writer.addAnimation("run", {{0, 100, 1}, {1, 100, -1}}));
    ASSERT_TRUE(writer.addAnimation("idle", {{1, -1, 1}}));

    for (int version = 0; version <= 4; ++version)
    {
        SCOPED_TRACE("version " + std::to_string(version));
        CSpritePackage* package =
            load("v" + std::to_string(version) + ".spr", spritetest::written(writer, version));
        ASSERT_TRUE(package);
        EXPECT_EQ(package->getVersion(), version);
        EXPECT_EQ(package->getAnimationNames(), (std::vector<zu::core::CString>{"idle", "run"}));
        ASSERT_EQ(package->getImages().size(), 2u);
        const SSpriteImageRecord& trimmed = package->getImages()[0];
        EXPECT_EQ(trimmed.offset.x, -1);
        EXPECT_EQ(trimmed.offset.y, -1);
        // Before version 2 the trim is part of the offset; before version 3
        // the original size is the stored size.
        EXPECT_EQ(trimmed.originalOffset.x, version >= 2 ? -2 : -1);
        EXPECT_EQ(trimmed.originalOffset.y, version >= 2 ? -2 : -1);
        EXPECT_EQ(trimmed.sourceRect.getWidth(), 2);
        EXPECT_EQ(trimmed.sourceRect.getHeight(), 1);
        EXPECT_EQ(trimmed.originalSize,
                  (version >= 3 ? zu::core::SDimension2i{4, 3} : zu::core::SDimension2i{2, 1}));

        ITexture* page = package->getPageTexture(trimmed.page);
        ASSERT_TRUE(page);
        EXPECT_EQ(pixel(page, trimmed.sourceRect.left, trimmed.sourceRect.top), 0xFF112233u);
        EXPECT_EQ(pixel(page, trimmed.sourceRect.left + 1, trimmed.sourceRect.top), 0x80445566u);
        const SSpriteImageRecord& square = package->getImages()[1];
        EXPECT_EQ(pixel(package->getPageTexture(square.page), square.sourceRect.right - 1,
                        square.sourceRect.bottom - 1),
                  0x40FF8000u);

        ASSERT_EQ(package->getAnimations().size(), 2u);
        EXPECT_EQ(package->getAnimations()[1].steps, (std::vector<int32_t>{1, -1}));
        EXPECT_EQ(package->getAnimations()[0].durations, (std::vector<int32_t>{-1}));
    }
}

TEST_F(SpritePackage, VersionOneAndVersionThreeWithZeroTrimsReadTheSame)
{
    CSpriteWriter writer;
    writer.setTrim(false);
    writer.addImage(spritetest::solid(3, 2, 0x80FFFFFF).data(), 3, 2, 1, 1);
    writer.addImage(spritetest::solid(2, 5, 0xFF0000FF).data(), 2, 5, -4, 7);
    writer.addAnimation("a", {{0}, {1}});
    CSpritePackage* one = load("one.spr", spritetest::written(writer, 1));
    CSpritePackage* three = load("three.spr", spritetest::written(writer, 3));
    ASSERT_TRUE(one && three);
    expectSameImages(one->getImages(), three->getImages());
}

TEST_F(SpritePackage, VersionFourPageOffsets)
{
    SPackageBytes file;
    file.header(4, 4, 2, 3, 0, 0, 0);
    for (int32_t stored : {100, 50, 70})
        file.putInt(stored);
    file.putBytes(std::vector<uint8_t>(220, 0));
    CSpritePackage* package = load("offsets.spr", file.bytes);
    ASSERT_TRUE(package);
    EXPECT_EQ(package->getPageOffset(0), 40);
    EXPECT_EQ(package->getPageOffset(1), 140);
    EXPECT_EQ(package->getPageOffset(2), 190);
    EXPECT_EQ(package->getTablesOffset(), 260);
}

TEST_F(SpritePackage, FrameIdsResolveToImagesAndBundles)
{
    // With pages of 4 pixels the 6 x 4 picture becomes bundle 100000 of two
    // parts in two columns; pictures 1 to 5 stay images.
    CSpriteWriter writer;
    writer.setPageSize(4);
    writer.addImage(spritetest::solid(6, 4, 0xFF00FF00).data(), 6, 4, 0, 0);
    for (int i = 1; i <= 5; ++i)
        writer.addImage(spritetest::solid(2, 2, 0xFF0000FF).data(), 2, 2, 0, 0);
    writer.addAnimation("mix", {{5}, {0}});
    CSpritePackage* package = load("mix.spr", spritetest::written(writer, 3));
    ASSERT_TRUE(package);
    ASSERT_EQ(package->getBundles().size(), 1u);
    EXPECT_EQ(package->getBundles()[0].id, 100000);
    EXPECT_EQ(package->getBundles()[0].columns, 2);
    EXPECT_EQ(package->getAnimations()[0].imageIds, (std::vector<int32_t>{5, 100000}));

    ISpriteAnimationState* state = package->createState("mix");
    ASSERT_TRUE(state);
    ASSERT_EQ(state->getFrameCount(), 2);
    EXPECT_EQ(state->getSize(0), (zu::core::SDimension2i{2, 2}));
    EXPECT_EQ(state->getSize(1), (zu::core::SDimension2i{6, 4}));
    EXPECT_EQ(package->getLiveImageCount(), 2);
    ISpriteAnimationImage* image = package->getImage(5);
    ISpriteAnimationImage* bundle = package->getImage(100000);
    ASSERT_TRUE(image && bundle);
    EXPECT_EQ(image->getId(), 5);
    EXPECT_EQ(bundle->getId(), 100000);
    EXPECT_EQ(package->getImage(6), nullptr);
    EXPECT_EQ(package->getImage(100001), nullptr);
    EXPECT_EQ(package->getLiveImageCount(), 2); // shared, not made again
    image->release();
    bundle->release();
    state->release();
    EXPECT_EQ(package->getLiveImageCount(), 0);
}

TEST_F(SpritePackage, AnimationsByNameAndById)
{
    SPackageBytes file;
    file.header(0, 1, 2, 1, 1, 0, 5);
    file.putBytes({0xFF});
    file.image(0, 0, 0, 0, 0, 0, 1, 1);
    // Out of order on purpose: lookups still find every name.
    file.animation("idle", {0}, {1}, {100});
    file.animation("run", {0, 0, 0}, {1, 1, 1}, {100, 100, 100});
    file.animation("walk_12", {0}, {1}, {100});
    file.animation("a1b2", {0, 0}, {1, 1}, {100, 100});
    file.animation("-3x", {0, 0, 0, 0}, {1, 1, 1, 1}, {1, 1, 1, 1});
    CSpritePackage* package = load("names.spr", file.bytes);
    ASSERT_TRUE(package);
    EXPECT_EQ(package->getAnimationNames(),
              (std::vector<zu::core::CString>{"idle", "run", "walk_12", "a1b2", "-3x"}));

    struct SName
    {
        const char* name;
        int frames; // 0: no such animation
    };
    for (const SName& c : {SName{"run", 3}, SName{"ru", 0}, SName{"runs", 0}, SName{"", 0},
                           SName{"a1b2", 2}, SName{"idle", 1}, SName{"-3x", 4}})
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(package->hasAnimation(c.name), c.frames > 0);
        ISpriteAnimationState* state = package->createState(zu::core::CString(c.name));
        EXPECT_EQ(state != nullptr, c.frames > 0);
        if (state)
        {
            EXPECT_EQ(state->getFrameCount(), c.frames);
            state->release();
        }
    }
    // The first animation in file order with id 12 is walk_12.
    ISpriteAnimationState* twelve = package->createState(12);
    ASSERT_TRUE(twelve);
    EXPECT_EQ(twelve->getFrameCount(), 1);
    twelve->release();
    ISpriteAnimationState* minusThree = package->createState(-3);
    ASSERT_TRUE(minusThree);
    EXPECT_EQ(minusThree->getFrameCount(), 4);
    minusThree->release();
    EXPECT_EQ(package->createState(7), nullptr);

    EXPECT_EQ(CSpritePackage::animationIdOf("walk_12"), 12);
    EXPECT_EQ(CSpritePackage::animationIdOf("x-3"), 3);
    EXPECT_EQ(CSpritePackage::animationIdOf("idle"), 0);
    EXPECT_EQ(CSpritePackage::animationIdOf("99999999999"), INT32_MAX);
    EXPECT_EQ(CSpritePackage::animationIdOf("-99999999999"), -INT32_MAX);
}

namespace
{

// The fields of a small valid package that the refusal cases bend.
struct SShape
{
    int32_t version = 2, pageSize = 2, format = 1, pages = 1;
    int32_t images = 1, bundles = 1, animations = 1;
    int32_t storedSize = 0; // version 4: 0 is the real size
    int32_t imageId = 0, imageX = 0, imageWidth = 2;
    int32_t bundleId = 100000, columns = 1, parts = 1;
    int32_t frameCount = 1;
};

std::vector<uint8_t> build(const SShape& s)
{
    SPackageBytes file;
    file.header(s.version, s.pageSize, s.format, s.pages, s.images, s.bundles, s.animations);
    const std::vector<uint8_t> planes(16, 0x80);
    const std::vector<uint8_t> page = s.version == 4 ? zlibOf(planes) : planes;
    if (s.version == 4) file.putInt(s.storedSize ? s.storedSize : int32_t(page.size()));
    file.putBytes(page);
    file.image(s.imageId, 0, 0, 0, s.imageX, 0, s.imageWidth, 2);
    file.putString("bundle");
    for (int32_t v : {s.bundleId, 0, 0})
        file.putInt(v);
    if (s.version >= 2) file.putBytes(std::vector<uint8_t>(8, 0));
    file.putInt(s.columns);
    file.putInt(s.parts);
    for (int32_t k = 0; k < s.parts && k < 4; ++k)
        file.image(k, 0, 0, 0, 0, 0, 1, 1);
    file.putString("anim");
    file.putInt(s.frameCount);
    for (int32_t v : {0, 1, 100})
        file.putInt(v);
    return file.bytes;
}

} // namespace

TEST_F(SpritePackage, MalformedFilesAreRefused)
{
    ASSERT_TRUE(load("valid2.spr", build(SShape())));
    SShape v4;
    v4.version = 4;
    ASSERT_TRUE(load("valid4.spr", build(v4)));

    using Tweak = std::function<void(SShape&)>;
    const std::pair<const char*, Tweak> cases[] = {
        {"version 5", [](SShape& s) { s.version = 5; }},
        {"version -1", [](SShape& s) { s.version = -1; }},
        {"pixel format 4", [](SShape& s) { s.format = 4; }},
        {"page size 0 with a page", [](SShape& s) { s.pageSize = 0; }},
        {"page size past the cap", [](SShape& s) { s.pageSize = 8193; }},
        {"more pages than bytes", [](SShape& s) { s.pages = 1000; }},
        {"negative image count", [](SShape& s) { s.images = -1; }},
        {"a million images", [](SShape& s) { s.images = 1000000; }},
        {"image off its page", [](SShape& s) { s.imageX = 1; }},
        {"negative image width", [](SShape& s) { s.imageWidth = -2; }},
        {"image id in the bundle range", [](SShape& s) { s.imageId = 100000; }},
        {"bundle id in the image range", [](SShape& s) { s.bundleId = 99999; }},
        {"bundle without columns", [](SShape& s) { s.columns = 0; }},
        {"bundle without parts", [](SShape& s) { s.parts = 0; }},
        {"bundle with fewer parts than columns", [](SShape& s) { s.columns = 2; }},
        {"bundle with a huge part count", [](SShape& s) { s.parts = 1 << 30; }},
        {"huge frame count", [](SShape& s) { s.frameCount = 1 << 28; }},
        {"negative frame count", [](SShape& s) { s.frameCount = -1; }},
        {"negative stored size", [](SShape& s) { s.version = 4, s.storedSize = -1; }},
        {"stored size past the end", [](SShape& s) { s.version = 4, s.storedSize = 1 << 20; }},
    };
    int n = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first);
        SShape shape;
        c.second(shape);
        EXPECT_EQ(load("bad" + std::to_string(n++) + ".spr", build(shape)), nullptr);
    }
    EXPECT_TRUE(m_capture.logged("Could not read a sprite package file"));

    // Every byte of a package is needed: each shorter prefix is refused.
    for (const SShape& shape : {SShape(), v4})
    {
        const std::vector<uint8_t> whole = build(shape);
        for (size_t length = 0; length < whole.size(); ++length)
        {
            SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes, version " +
                         std::to_string(shape.version));
            const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + long(length));
            EXPECT_EQ(load("cut" + std::to_string(n++) + ".spr", prefix), nullptr);
        }
    }
    EXPECT_TRUE(m_capture.checks().empty());
}

TEST_F(SpritePackage, InflatedPageMustHaveExactlyOnePage)
{
    struct SCase
    {
        size_t length;
        bool made;
    };
    int n = 0;
    for (const SCase& c : {SCase{3, false}, SCase{4, true}, SCase{5, false}})
    {
        SCOPED_TRACE(c.length);
        SPackageBytes file;
        file.header(4, 2, 2, 1, 1, 0, 1);
        const std::vector<uint8_t> page = zlibOf(std::vector<uint8_t>(c.length, 0xFF));
        file.putInt(int32_t(page.size()));
        file.putBytes(page);
        file.image(0, 0, 0, 0, 0, 0, 2, 2);
        file.animation("a", {0}, {1}, {100});
        CSpritePackage* package = load("inflate" + std::to_string(n++) + ".spr", file.bytes);
        ASSERT_TRUE(package);
        ISpriteAnimationState* state = package->createState("a");
        ASSERT_TRUE(state);
        EXPECT_EQ(state->getTexture(0) != nullptr, c.made);
        state->drawAt({10, 10}, nullptr, 0xFFFFFFFF);
        m_driver->endScene();
        EXPECT_EQ(m_driver->draws.size(), c.made ? 1u : 0u);
        m_driver->draws.clear();
        state->release();
    }
    EXPECT_TRUE(m_capture.logged("Could not read page 0 of a sprite package"));
    EXPECT_TRUE(m_capture.checks().empty());
}

TEST_F(SpritePackage, ImagesWithoutTheirPageDrawNothing)
{
    // Image 0 names page 3 of a one-page package; image 1 is fine, but the
    // file is gone by the time its page is wanted.
    SPackageBytes file;
    file.header(1, 1, 2, 1, 2, 0, 2);
    file.putBytes({0xFF});
    file.image(0, 0, 0, 3, 0, 0, 1, 1);
    file.image(1, 0, 0, 0, 0, 0, 1, 1);
    file.animation("lost", {0}, {1}, {100});
    file.animation("gone", {1}, {1}, {100});
    const std::string path = save("missing.spr", file.bytes);
    CSpritePackage* package = load(path);
    ASSERT_TRUE(package);
    ISpriteAnimationState* lost = package->createState("lost");
    ASSERT_TRUE(remove(path.c_str()) == 0);
    ISpriteAnimationState* gone = package->createState("gone");
    ASSERT_TRUE(lost && gone);
    for (ISpriteAnimationState* state : {lost, gone})
    {
        EXPECT_EQ(state->getFrameCount(), 1);
        EXPECT_EQ(state->getTexture(0), nullptr);
        const uint32_t colors[9] = {};
        const SVector2f corners[4] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        state->drawAt({0, 0}, nullptr, 0xFFFFFFFF);
        state->drawScaled({0, 0}, 2.f, 0xFFFFFFFF);
        state->drawRotated({0, 0}, 1.f, 1.f, colors);
        state->drawMirrored({0, 0}, 1.f, 0xFFFFFFFF);
        state->drawFreeShape({0, 0}, {1, 0}, {0, 1}, {1, 1}, colors);
        EXPECT_FALSE(state->drawNineColor(corners, colors));
        EXPECT_FALSE(state->drawCornerColor(corners, colors));
        state->draw3D({0, 0, 0}, 0.f, 1.f, false, 0xFFFFFFFF);
        state->release();
    }
    m_driver->endScene();
    EXPECT_TRUE(m_driver->draws.empty());
    EXPECT_TRUE(m_capture.checks().empty());
    EXPECT_EQ(package->getPageTexture(3), nullptr);
    EXPECT_EQ(package->getPageTexture(-1), nullptr);
}

TEST_F(SpritePackage, PagesAreMadeOnFirstUseAndGoWithThePackage)
{
    CSpriteWriter writer;
    writer.setPageSize(2);
    writer.addImage(spritetest::solid(2, 2, 0xFFFF0000).data(), 2, 2, 0, 0);
    writer.addImage(spritetest::solid(2, 2, 0xFF00FF00).data(), 2, 2, 0, 0);
    writer.addAnimation("a", {{0}});
    writer.addAnimation("b", {{1}});
    const std::string path = save("lazy.spr", spritetest::written(writer, 0));
    CSpritePackage* package = load(path);
    ASSERT_TRUE(package);
    EXPECT_EQ(package->getPageNames().size(), 2u);
    EXPECT_EQ(m_driver->getTextureCount(), 0);
    EXPECT_EQ(load(path), package); // cached by path

    ISpriteAnimationState* a = package->createState("a");
    ASSERT_TRUE(a);
    const int32_t pageOfA = package->getImages()[0].page;
    EXPECT_EQ(m_driver->getTextureCount(), 1);
    EXPECT_TRUE(package->isPageLoaded(pageOfA));
    EXPECT_FALSE(package->isPageLoaded(1 - pageOfA));
    EXPECT_EQ(package->getTextureName(a->getTexture(0)), package->getPageNames()[size_t(pageOfA)]);
    EXPECT_EQ(package->getTexture(package->getPageNames()[size_t(pageOfA)]), a->getTexture(0));

    a->release();
    m_driver->removeSpritePackage(path.c_str());
    EXPECT_EQ(m_driver->getTextureCount(), 0);
}

TEST_F(SpritePackage, StatesAndImagesOutlivingThePackageAreEmptied)
{
    CSpriteWriter writer;
    writer.addImage(spritetest::solid(2, 2, 0xFFFF0000).data(), 2, 2, 0, 0);
    writer.addImage(spritetest::solid(2, 2, 0xFF0000FF).data(), 2, 2, 0, 0);
    writer.addAnimation("walk", {{0, 100, 1}, {1, 100, -1}});
    const std::string path = save("kept.spr", spritetest::written(writer, 4));
    CSpritePackage* package = load(path, true);
    ASSERT_TRUE(package);

    ISpriteAnimationState* kept = package->createState("walk");
    ISpriteAnimationState* released = package->createState("walk");
    ASSERT_TRUE(kept && released);
    EXPECT_EQ(package->getKeptStateCount(), 2);
    package->updateStates(0.15f);
    EXPECT_EQ(kept->getFrame(), 1);
    released->release();
    EXPECT_EQ(package->getKeptStateCount(), 1);

    // Someone else still holds the kept state and an image when the
    // package goes.
    kept->grab();
    ISpriteAnimationImage* image = package->getImage(0);
    ASSERT_TRUE(image);
    m_driver->removeSpritePackage(path.c_str());
    EXPECT_TRUE(m_capture.logged("A kept sprite state outlives its package"));
    EXPECT_EQ(kept->getFrameCount(), 0);
    EXPECT_EQ(kept->getSize(0), (zu::core::SDimension2i{1, 1}));
    EXPECT_FALSE(kept->update(10.f));
    kept->drawAt({0, 0}, nullptr, 0xFFFFFFFF);
    EXPECT_EQ(image->getTexture(), nullptr);
    image->drawAt({0, 0}, nullptr, 0xFFFFFFFF);
    m_driver->endScene();
    EXPECT_TRUE(m_driver->draws.empty());
    image->release();
    kept->release();
    kept->drop();
}
