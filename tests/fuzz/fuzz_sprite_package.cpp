// Fuzz target: the sprite package reader. A package that loads has its small
// pages decoded and put in the driver's cache, then every animation is made
// into a state by name and by id, advanced, measured, drawn in every way and
// saved and loaded again.
#include "core/Output.h"
#include "io/CMemReadFile.h"
#include "io/CMemWriteFile.h"
#include "io/CMemoryReadFile.h"
#include "video/IImage.h"
#include "video/ISpriteAnimationState.h"
#include "video/null/CSpritePackage.h"
#include "video/null/CVideoNull.h"

#include <cstdint>
#include <cstring>

using namespace zu::video;

namespace
{
void quiet(const char*, int) {}

void exercise(ISpriteAnimationState* state)
{
    if (!state) return;
    const uint32_t colors[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const SVector2f corners[4] = {{0, 0}, {9, 0}, {0, 9}, {9, 9}};
    const SRecti clip = {0, 0, 50, 50};
    for (int i = 0; i < 4; ++i)
    {
        state->update(0.05f * float(i));
        state->drawAt({i, -i}, i % 2 ? &clip : nullptr, 0xFFFFFFFF);
        state->drawScaled({1.5f, 2.5f}, 2.f, 0x80FFFFFF);
        state->drawRotated({3, 4}, 0.5f, 1.f, colors);
        state->drawMirrored({5, 6}, 1.f, 0xFFFFFFFF);
        state->drawFreeShape(corners[0], corners[1], corners[2], corners[3], colors);
        state->drawNineColor(corners, colors);
        state->drawCornerColor(corners, colors);
        state->draw3D({1, 2, 3}, 0.3f, 1.f, i % 2 == 0, 0xFFFFFFFF);
    }
    for (int32_t frame = -1; frame <= state->getFrameCount(); ++frame)
    {
        state->getSize(frame);
        state->getOriginalSize(frame);
        state->getOffset(frame);
        state->getSourceRect(frame);
        state->getTexture(frame);
    }
    zu::io::CMemWriteFile saved;
    state->saveState(&saved);
    zu::io::CMemReadFile again(saved.getData(), saved.getSize(), false);
    state->loadState(&again);
    state->release();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setLogSink(&quiet), true);
    (void)silenced;
    static kelvo::video::CVideoNull* const driver =
        new kelvo::video::CVideoNull(nullptr, {640, 480});
    if (size > (1 << 22)) return 0;

    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, "fuzz.spr");
    auto* package = new kelvo::video::CSpritePackage(driver, nullptr, true);
    if (package->read(file, "fuzz.spr"))
    {
        // Large pages would only slow the fuzzer down.
        const std::vector<zu::core::CString>& pages = package->getPageNames();
        if (package->getPageSize() <= 64 && pages.size() <= 16)
            for (int32_t j = 0; j < int32_t(pages.size()); ++j)
                if (IImage* image = package->createPageImage(file, j))
                {
                    driver->addTexture(image, pages[size_t(j)]);
                    image->drop();
                }
        for (const zu::core::CString& name : package->getAnimationNames())
        {
            exercise(package->createState(name));
            exercise(package->createState(kelvo::video::CSpritePackage::animationIdOf(name)));
        }
        package->updateStates(1.f);
        driver->endScene();
    }
    package->drop();
    file->drop();
    driver->removeAllTextures();
    return 0;
}
