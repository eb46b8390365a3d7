// Fuzz target: the particle package reader. A package that loads gets a
// small sprite package with the animations "dot" and "blink", and every
// definition is spawned into a host (its children capped at a few hundred)
// that advances and draws them through a ground line, with surfaces taken
// from the death lists; each definition is also made on its own, bounced,
// drawn in every way and released.
#include "core/Output.h"
#include "io/CMemoryReadFile.h"
#include "video/IImage.h"
#include "video/IParticleState.h"
#include "video/SParticleDefinition.h"
#include "video/null/CParticleHost.h"
#include "video/null/CParticlePackage.h"
#include "video/null/CParticleRandom.h"
#include "video/null/CSpritePackage.h"
#include "video/null/CVideoNull.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace zu::video;

namespace
{
void quiet(const char*, int) {}

void put(std::vector<uint8_t>& b, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

// A version-1 sprite package: one 4 x 4 alpha page, one image with its
// hotspot in the middle, and the animations "blink" (two frames that loop)
// and "dot" (one frame for ever), in name order.
std::vector<uint8_t> spriteBytes()
{
    std::vector<uint8_t> b;
    for (int32_t v : {1, 4, 2, 1, 1, 0, 2})
        put(b, v);
    b.insert(b.end(), 16, 0xFF);
    b.push_back('i');
    b.push_back(0);
    for (int32_t v : {0, -2, -2, 0, 0, 0, 4, 4})
        put(b, v);
    for (const char* name : {"blink", "dot"})
    {
        b.insert(b.end(), name, name + strlen(name) + 1);
        const bool blink = name[0] == 'b';
        put(b, blink ? 2 : 1);
        put(b, 0);
        if (blink) put(b, 0);
        put(b, 1);
        if (blink) put(b, -1);
        put(b, blink ? 100 : -1);
        if (blink) put(b, 100);
    }
    return b;
}

kelvo::video::CVideoNull* driver()
{
    static kelvo::video::CVideoNull* const d = new kelvo::video::CVideoNull(nullptr, {640, 480});
    return d;
}

ISpritePackage* sprites()
{
    static ISpritePackage* const package = []
    {
        const std::vector<uint8_t> bytes = spriteBytes();
        uint8_t* copy = new uint8_t[bytes.size()];
        memcpy(copy, bytes.data(), bytes.size());
        auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(bytes.size()), true, "sprites");
        auto* p = new kelvo::video::CSpritePackage(driver(), nullptr, false);
        p->read(file, "sprites");
        if (IImage* page = p->createPageImage(file, 0))
        {
            driver()->addTexture(page, p->getPageNames()[0]);
            page->drop();
        }
        file->drop();
        return p;
    }();
    return package;
}

// Every way to draw and move one particle.
void exercise(IParticleState* p)
{
    if (!p) return;
    SVector3f at{50, 60, 0};
    for (int i = 0; i < 6 && p->update(0.07f * float(i), at); ++i)
    {
        p->draw(at, 1.5f);
        p->drawShadow(at, 1.f, 0.5f);
        p->draw3D(at);
        p->addVelocity({1, -2, 0});
        if (i == 3 && !p->bounce(at, {0, -1, 0})) break;
    }
    p->getFirstSpriteName();
    p->release();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;
    if (size > (1 << 20)) return 0;
    ISpritePackage* spritePackage = sprites();
    kelvo::video::CParticleRandom::seed(kelvo::video::CParticleRandom::FIRST_SEED);

    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, "fuzz.par");
    auto* package = new kelvo::video::CParticlePackage(driver());
    if (package->read(file, "fuzz.par"))
    {
        package->getSoundNames();
        std::vector<zu::core::CString> surfaces = {""};
        for (const zu::core::CString& name : package->getDefinitionNames())
            for (const zu::core::CString& entry : package->findDefinition(name)->deathList)
                if (!entry.empty() && entry[0] == '@') surfaces.push_back(entry);
        {
            kelvo::video::CParticleHost host;
            host.setLimit(300);
            host.attach(package, spritePackage);
            host.setGround(200);
            size_t asked = 0;
            host.setSurfaceQuery([&](const SVector3f&)
                                 { return surfaces[asked++ % surfaces.size()]; });
            host.setSoundPlayer([](const zu::core::CString&, const SVector3f&) {});
            int spawned = 0;
            for (const zu::core::CString& name : package->getDefinitionNames())
                if (spawned++ < 32) host.spawn(package, name, {100, 100, 0}, {10, -20, 0});
            for (int i = 0; i < 24; ++i)
            {
                host.setDetailLevel(i % 5);
                host.update(0.01f + 0.02f * float(i % 7));
                host.draw(1.f);
            }
            spawned = 0;
            for (const zu::core::CString& name : package->getDefinitionNames())
                if (spawned++ < 32) exercise(package->createParticle(name));
        }
        driver()->endScene();
    }
    package->drop();
    file->drop();
    return 0;
}
