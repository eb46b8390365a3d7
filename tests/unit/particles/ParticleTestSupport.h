// Helpers of the particle tests: a recording driver over a scratch folder with
// a small sprite package, particle packages written by the packer's writer,
// by the packer command and by a second writer in Python, and a host that
// keeps what the particles hand it.
#pragma once

#include "io/IoTestSupport.h"
#include "video/CRecordingDriver.h"

#include "CParticleWriter.h"
#include "CSpriteWriter.h"
#include "io/CFileSystem.h"
#include "video/IParticleHost.h"
#include "video/IParticleState.h"
#include "video/ISpritePackage.h"
#include "video/SParticleDefinition.h"
#include "video/null/CParticlePackage.h"
#include "video/null/CParticleRandom.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace particletest
{

using iotest::CCapture;
using zu::video::IParticleState;
using zu::video::SParticleDefinition;
using zu::video::SVector3f;

// Takes every particle it is handed and remembers where; answers one
// surface for every point and writes down the sounds.
class CRecordingHost : public zu::video::IParticleHost
{
  public:
    ~CRecordingHost() override { releaseAll(); }

    bool adopt(IParticleState* particle, const SVector3f& position) override
    {
        adopted.push_back({particle, position});
        return true;
    }
    zu::core::CString surfaceAt(const SVector3f&) override
    {
        ++surfaceQuestions;
        return surface;
    }
    void playSound(const zu::core::CString& name, const SVector3f& position) override
    {
        sounds.push_back({name.str(), position});
    }
    void releaseAll()
    {
        for (SAdopted& a : adopted)
            a.particle->release();
        adopted.clear();
    }
    // The definition names of the adopted particles, in order.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const SAdopted& a : adopted)
            out.push_back(a.particle->getDefinition()->name.str());
        return out;
    }

    struct SAdopted
    {
        IParticleState* particle;
        SVector3f position;
    };
    struct SSound
    {
        std::string name;
        SVector3f position;
    };
    std::vector<SAdopted> adopted;
    std::vector<SSound> sounds;
    zu::core::CString surface;
    int surfaceQuestions = 0;
};

// Releases the particle it holds when it goes.
struct SHeld
{
    IParticleState* particle;
    explicit SHeld(IParticleState* p) : particle(p) {}
    ~SHeld()
    {
        if (particle) particle->release();
    }
    SHeld(const SHeld&) = delete;
    SHeld& operator=(const SHeld&) = delete;
    IParticleState* operator->() const { return particle; }
    explicit operator bool() const { return particle != nullptr; }
};

// A definition of the packer's defaults with a name and a sprite.
inline SParticleDefinition named(const std::string& name, const std::string& sprites = "dot")
{
    SParticleDefinition d;
    d.name = name.c_str();
    d.sprites = sprites.c_str();
    return d;
}

// Where the Python writer and the packer put the shared edge-case packages;
// made once for the whole program.
inline const std::string& sharedPackages()
{
    static const std::string folder = []
    {
        const std::string out = iotest::makeScratchFolder("particle-packages");
        const std::string python =
            std::string(PELLORA_PYTHON) + " '" + PELLORA_PARTICLE_WRITER + "' '" + out + "'";
        const std::string packer = std::string("'") + PELLORA_PARTICLEPACK + "' '" +
                                   PELLORA_PARTICLE_EDGE_CASES + "' '" + out +
                                   "/packer.par' > /dev/null";
        EXPECT_EQ(system(python.c_str()), 0) << python;
        EXPECT_EQ(system(packer.c_str()), 0) << packer;
        return out;
    }();
    return folder;
}

// A recording driver over a scratch folder holding sprites.spr: "dot", one
// 4 x 4 frame with its hotspot at 2, 2 that never runs out, and "blink",
// two frames of 100 ms that loop.
class ParticleTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        kelvo::video::CParticleRandom::seed(kelvo::video::CParticleRandom::FIRST_SEED);
        std::vector<uint8_t> white(4 * 4 * 4, 255);
        pellora::spritepack::CSpriteWriter writer;
        writer.setTrim(false);
        const int image = writer.addImage(white.data(), 4, 4, 2, 2);
        writer.addAnimation("dot", {{image, -1, 1}});
        writer.addAnimation("blink", {{image, 100, 1}, {image, 100, -1}});
        std::string error;
        ASSERT_TRUE(writer.writeFile(m_folder + "/sprites.spr", 4, error)) << error;
        m_sprites = m_driver->getSpritePackage((m_folder + "/sprites.spr").c_str(), false, true);
        ASSERT_NE(m_sprites, nullptr);
    }
    void TearDown() override
    {
        m_host.releaseAll();
        m_driver->drop();
        m_fs->drop();
    }

    // A package file loaded through the driver's cache, with the sprites
    // and the host set.
    kelvo::video::CParticlePackage* load(const std::string& path)
    {
        auto* package = dynamic_cast<kelvo::video::CParticlePackage*>(
            m_driver->getParticlePackage(path.c_str()));
        if (package)
        {
            package->setSpritePackage(m_sprites);
            package->setHost(&m_host);
        }
        return package;
    }
    // Definitions written by the packer's writer into a file of their own.
    kelvo::video::CParticlePackage* load(const std::vector<SParticleDefinition>& definitions)
    {
        const std::vector<uint8_t> bytes =
            pellora::particlepack::CParticleWriter::write(definitions);
        const std::string path = m_folder + "/written" + std::to_string(m_written++) + ".par";
        iotest::writeDiskFile(path, std::string(bytes.begin(), bytes.end()));
        return load(path);
    }

    // A recorded 2D vertex back in render pixels.
    zu::video::SVector2f pixelOf(const videotest::SRecordedVertex& v) const
    {
        const zu::video::SVector2f origin = m_driver->map2D(0, 0), one = m_driver->map2D(1, 1);
        return {(v.x - origin.x) / (one.x - origin.x), (v.y - origin.y) / (one.y - origin.y)};
    }

    CCapture m_capture;
    std::string m_folder = iotest::makeScratchFolder("particles");
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    videotest::CRecordingDriver* m_driver = new videotest::CRecordingDriver(m_fs, {800, 600});
    zu::video::ISpritePackage* m_sprites = nullptr;
    CRecordingHost m_host;
    int m_written = 0;
};

} // namespace particletest
