// Particle packages as the reader takes them: the fields each file version
// stores and the values the others take, packages of the Python writer and
// of the packer read alike, definitions found by name, and files that lie
// about their counts and lengths refused with a log line.
#include "ParticleTestSupport.h"

#include "video/ParticlePackageFormat.h"
#include "video/null/CParticlePackageReader.h"

#include <algorithm>
#include <cstring>
#include <functional>

using kelvo::video::CParticlePackage;
using kelvo::video::CParticlePackageReader;
using namespace particletest;
using zu::video::SParticleCurve;

namespace
{

std::string file(const std::string& name)
{
    return sharedPackages() + "/" + name;
}

// The definitions of a package file as the reader gives them.
std::vector<SParticleDefinition> readFile(const std::string& path)
{
    const std::string bytes = iotest::readDiskFile(path);
    CParticlePackageReader reader;
    EXPECT_TRUE(reader.read(std::vector<uint8_t>(bytes.begin(), bytes.end())))
        << path << ": " << reader.getProblem().c_str();
    return reader.getDefinitions();
}

const SParticleDefinition* find(const std::vector<SParticleDefinition>& list,
                                const std::string& name)
{
    for (const SParticleDefinition& d : list)
        if (d.name == name.c_str()) return &d;
    return nullptr;
}

void expectCurve(const SParticleCurve& c, float amplitude, float frequency, int32_t type,
                 const std::string& where)
{
    EXPECT_FLOAT_EQ(c.amplitude, amplitude) << where;
    EXPECT_FLOAT_EQ(c.frequency, frequency) << where;
    EXPECT_FLOAT_EQ(c.phase, 0.f) << where;
    EXPECT_EQ(c.type, type) << where;
    EXPECT_EQ(c.clamp, 0) << where;
}

} // namespace

TEST(ParticlePackageFile, EachVersionReadsWhatItStoresAndGivesTheRestTheirValues)
{
    struct SCase
    {
        const char* file;
        int32_t version;
        size_t definitions;
    };
    const SCase cases[] = {
        {"v2.par", 2, 7},  {"v5.par", 5, 9},      {"v7.par", 7, 11},
        {"v8.par", 8, 12}, {"packer.par", 8, 12},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.file);
        const std::string bytes = iotest::readDiskFile(file(c.file));
        CParticlePackageReader reader;
        ASSERT_TRUE(reader.read(std::vector<uint8_t>(bytes.begin(), bytes.end())))
            << reader.getProblem().c_str();
        EXPECT_EQ(reader.getVersion(), c.version);
        const std::vector<SParticleDefinition>& list = reader.getDefinitions();
        ASSERT_EQ(list.size(), c.definitions);

        // Curves: one integer each before version 3, a constant of that
        // amplitude; full records later, with the frequency read per second.
        const SParticleDefinition* constant = find(list, "constant");
        ASSERT_NE(constant, nullptr);
        expectCurve(constant->curveX, 40.f, 1.f, 0, "curveX");
        expectCurve(constant->curveY, 300.f, 1.f, 0, "curveY");
        expectCurve(constant->speedCurve, 0.f, 1.f, 0, "speedCurve");

        // lifeMax is stored from version 3; before it equals lifeMin.
        const SParticleDefinition* half = find(list, "halfSecond");
        ASSERT_NE(half, nullptr);
        EXPECT_EQ(half->lifeMin, 500);
        EXPECT_EQ(half->lifeMax, c.version >= 3 ? 0 : 500);

        const SParticleDefinition* single = find(list, "single");
        ASSERT_NE(single, nullptr);
        EXPECT_EQ(single->children, std::vector<zu::core::CString>{"child"});
        EXPECT_EQ(single->intervalMin, 250);
        EXPECT_EQ(single->burstMax, 200);

        // Levels from version 7, drawScale, sounds, shadow and a stored
        // normalizeSpeed where the version has them.
        const SParticleDefinition* fine = find(list, "fine");
        EXPECT_EQ(fine != nullptr, c.version >= 7);
        if (fine)
        {
            EXPECT_EQ(fine->level, 3);
        }
        EXPECT_EQ(find(list, "child")->level, 0);
        const SParticleDefinition* scaled = find(list, "scaled");
        EXPECT_EQ(scaled != nullptr, c.version >= 8);
        if (scaled)
        {
            EXPECT_FLOAT_EQ(scaled->drawScale, 2.5f);
            EXPECT_TRUE(scaled->shadow);
            EXPECT_FALSE(scaled->normalizeSpeed);
            EXPECT_EQ(scaled->soundNames, (std::vector<zu::core::CString>{"hit.ogg", "thud.ogg"}));
        }
        const SParticleDefinition* child = find(list, "child");
        EXPECT_FLOAT_EQ(child->drawScale, 1.f);
        EXPECT_TRUE(child->normalizeSpeed);
        EXPECT_FALSE(child->shadow);
        EXPECT_TRUE(child->sounds.empty());

        // A counted death list from version 4.
        const SParticleDefinition* drowning = find(list, "drowning");
        EXPECT_EQ(drowning != nullptr, c.version >= 4);
        if (drowning)
        {
            EXPECT_EQ(drowning->deathList,
                      (std::vector<zu::core::CString>{"@Water", "splash", "@Lava", "smoke"}));
        }
        const SParticleDefinition* triangle = find(list, "triangle");
        EXPECT_EQ(triangle != nullptr, c.version >= 3);
        if (triangle)
        {
            expectCurve(triangle->curveX, 1.f, 1.f, 3, "triangle curveX");
        }
    }
}

TEST(ParticlePackageFile, ThePackerAndTheSecondWriterWriteTheSameDefinitions)
{
    const std::vector<SParticleDefinition> packed = readFile(file("packer.par"));
    const std::vector<SParticleDefinition> python = readFile(file("v8.par"));
    ASSERT_EQ(packed.size(), python.size());
    for (size_t i = 0; i < packed.size(); ++i)
    {
        // Written out again by our writer, equal definitions give equal bytes.
        const std::vector<uint8_t> a = pellora::particlepack::CParticleWriter::write({packed[i]});
        const std::vector<uint8_t> b = pellora::particlepack::CParticleWriter::write({python[i]});
        EXPECT_EQ(a, b) << packed[i].name.c_str();
    }
    EXPECT_EQ(iotest::readDiskFile(file("packer.par")), iotest::readDiskFile(file("v8.par")));
}

TEST(ParticlePackageFile, OldVersionsKeepAOneStringDeathList)
{
    // Version 3: the death list is one string, kept only when not empty.
    std::vector<uint8_t> bytes;
    auto put = [&bytes](int32_t v)
    {
        for (int b = 0; b < 4; ++b)
            bytes.push_back(uint8_t(uint32_t(v) >> (8 * b)));
    };
    auto text = [&bytes](const char* s) { bytes.insert(bytes.end(), s, s + strlen(s) + 1); };
    put(3);
    put(2);
    for (const char* death : {"ember", ""})
    {
        text("d");
        text("dot");
        for (int curve = 0; curve < 4; ++curve)
            for (int v = 0; v < 5; ++v)
                put(0);
        for (int v = 0; v < 7; ++v) // directions and inheritFactor
            put(0);
        put(0);                     // bounceFactor
        put(-1);                    // maxBounces
        put(100);                   // lifeMin
        put(0);                     // lifeMax
        for (int v = 0; v < 4; ++v) // three flags, dieWithAnimation
            put(0);
        for (int v = 0; v < 8; ++v)
            put(255);
        put(0);
        put(0);
        text(death);
        for (int v = 0; v < 1 + 7 + 6; ++v)
            put(0);
        put(0); // children
    }
    CParticlePackageReader reader;
    ASSERT_TRUE(reader.read(bytes)) << reader.getProblem().c_str();
    ASSERT_EQ(reader.getDefinitions().size(), 2u);
    EXPECT_EQ(reader.getDefinitions()[0].deathList, std::vector<zu::core::CString>{"ember"});
    EXPECT_TRUE(reader.getDefinitions()[1].deathList.empty());
}

TEST_F(ParticleTest, DefinitionsAreFoundByNameAndListedInFileOrder)
{
    CParticlePackage* package = load(file("v8.par"));
    ASSERT_NE(package, nullptr);
    const std::vector<zu::core::CString>& names = package->getDefinitionNames();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[0], "child");
    EXPECT_EQ(names[1], "constant");
    EXPECT_EQ(names[11], "scaled");
    // Sorted for the search, whatever the file's order.
    const std::vector<SParticleDefinition>& sorted = package->getDefinitions();
    for (size_t i = 1; i < sorted.size(); ++i)
        EXPECT_LT(sorted[i - 1].name, sorted[i].name);
    for (const zu::core::CString& name : names)
        EXPECT_EQ(package->findDefinition(name)->name, name);
    EXPECT_EQ(package->findDefinition("sing"), nullptr); // a prefix
    EXPECT_EQ(package->findDefinition("singles"), nullptr);
    EXPECT_EQ(package->findDefinition(""), nullptr);

    // Sound names of every definition, each once, cached.
    EXPECT_EQ(package->getSoundNames(), (std::vector<zu::core::CString>{"hit.ogg", "thud.ogg"}));
    EXPECT_EQ(&package->getSoundNames(), &package->getSoundNames());

    // Loaded once: the driver's cache hands out the same package.
    EXPECT_EQ(m_driver->getParticlePackage(file("v8.par").c_str()), package);
    EXPECT_TRUE(m_capture.logged("Loaded particle package"));
}

TEST_F(ParticleTest, CreatingNeedsASpritePackageAndAKnownName)
{
    CParticlePackage* package = load(file("v8.par"));
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->createParticle("nothing"), nullptr);
    {
        SHeld p(package->createParticle("child"));
        ASSERT_TRUE(p);
        EXPECT_EQ(package->getLiveCount(), 1);
        EXPECT_EQ(p->getFirstSpriteName(), "dot");
        EXPECT_NE(p->getSprite(), nullptr);
    }
    EXPECT_EQ(package->getLiveCount(), 0);
    package->setSpritePackage(nullptr);
    EXPECT_EQ(package->createParticle("child"), nullptr);
}

TEST_F(ParticleTest, AParticleOutlivingItsPackageDiesOnItsNextUpdate)
{
    CParticlePackage* package = load(file("v8.par"));
    ASSERT_NE(package, nullptr);
    IParticleState* p = package->createParticle("child");
    m_driver->removeAllParticlePackages();
    EXPECT_EQ(p->getDefinition(), nullptr);
    SVector3f at;
    EXPECT_FALSE(p->update(0.1f, at));
    p->draw(at, 1.f);
    EXPECT_TRUE(m_driver->draws.empty());
    p->release();
}

namespace
{

// Byte surgery on a good package.
void setInt(std::vector<uint8_t>& bytes, size_t at, int32_t value)
{
    for (int b = 0; b < 4; ++b)
        bytes[at + size_t(b)] = uint8_t(uint32_t(value) >> (8 * b));
}

// The offset of the first zero byte of a string that starts at `at`.
size_t stringEnd(const std::vector<uint8_t>& bytes, size_t at)
{
    return size_t(std::find(bytes.begin() + long(at), bytes.end(), 0) - bytes.begin());
}

} // namespace

TEST_F(ParticleTest, FilesThatLieAboutTheirBytesFailTheirLoadWithALogLine)
{
    const std::string good = iotest::readDiskFile(file("v8.par"));
    const std::vector<uint8_t> original(good.begin(), good.end());
    // The first definition starts at 8 with its name "child".
    const size_t sprites = stringEnd(original, 8) + 1;
    const size_t sounds = stringEnd(original, sprites) + 1;
    const size_t curves = stringEnd(original, sounds) + 1;
    // The death list count of "child": after the curves (4 x 20), 3 flags,
    // 6 ints and a float, bounceFactor, maxBounces, drawScale, lifeMin,
    // lifeMax, 4 flags, 8 channels and 2 scales.
    const size_t deathCount = curves + 80 + 4 * (3 + 7 + 2 + 1 + 2 + 4 + 8 + 2);
    struct SCase
    {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> change;
        const char* logged;
    };
    const SCase cases[] = {
        {"empty", [](std::vector<uint8_t>& b) { b.clear(); }, "too short for a version"},
        {"version 9", [](std::vector<uint8_t>& b) { setInt(b, 0, 9); },
         "Unsupported particle file format: 9"},
        {"version -1", [](std::vector<uint8_t>& b) { setInt(b, 0, -1); },
         "Unsupported particle file format: -1"},
        {"no count", [](std::vector<uint8_t>& b) { b.resize(6); }, "before the definition count"},
        {"count far beyond the bytes", [](std::vector<uint8_t>& b) { setInt(b, 4, 1 << 30); },
         "cannot fit"},
        {"negative count", [](std::vector<uint8_t>& b) { setInt(b, 4, -1); }, "cannot fit"},
        {"one definition more than there is", [](std::vector<uint8_t>& b) { setInt(b, 4, 13); },
         "13 definitions cannot fit"},
        {"a name without its end",
         [](std::vector<uint8_t>& b)
         {
             b.resize(8);
             setInt(b, 4, 1);
             b.resize(8 + 1000, 'x');
         },
         "ends in its field name"},
        {"a death list counted beyond the bytes",
         [deathCount](std::vector<uint8_t>& b) { setInt(b, deathCount, 1 << 28); },
         "field deathList"},
        {"cut in the last field", [](std::vector<uint8_t>& b) { b.resize(b.size() - 1); },
         "field level"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = original;
        c.change(bytes);
        const std::string path = m_folder + "/bad.par";
        iotest::writeDiskFile(path, std::string(bytes.begin(), bytes.end()));
        CCapture::lines().clear();
        EXPECT_EQ(m_driver->getParticlePackage(path.c_str()), nullptr);
        EXPECT_TRUE(m_capture.logged(c.logged))
            << (CCapture::lines().empty() ? std::string("nothing logged")
                                          : CCapture::lines().front());
        EXPECT_TRUE(m_capture.logged("Could not load particle package"));
    }
    // The Python writer's files cut short in their last definition.
    for (const char* cut : {"cut-v2.par", "cut-v5.par", "cut-v7.par", "cut-v8.par"})
    {
        CCapture::lines().clear();
        EXPECT_EQ(m_driver->getParticlePackage(file(cut).c_str()), nullptr) << cut;
        EXPECT_TRUE(m_capture.logged("ends in its field")) << cut;
    }
}
