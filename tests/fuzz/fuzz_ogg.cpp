// Fuzz target: an Ogg Vorbis file is opened, decoded whole as a sound effect
// is, then streamed piece by piece with a rewind, as music is.
#include "audio/COggVorbisReader.h"
#include "core/Output.h"
#include "io/CMemoryReadFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
void quiet(const char*) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool silenced = (zu::core::setPrintHook(&quiet), true);
    (void)silenced;
    if (size > 1 << 20) return 0;

    // An exact-size copy, so reading one byte past the input is caught.
    uint8_t* copy = new uint8_t[size ? size : 1];
    if (size) memcpy(copy, data, size);
    auto* file = new kelvo::io::CMemoryReadFile(copy, int32_t(size), true, "fuzz.ogg");

    kelvo::audio::COggVorbisReader reader;
    if (reader.open(file) == 0)
    {
        std::vector<char> pcm;
        // A small limit: a file claiming more is refused, not allocated.
        reader.decodeAll(pcm, 32u << 20);
        if (reader.rewind())
        {
            char piece[4096];
            for (int i = 0; i < 256 && reader.read(piece, sizeof piece) > 0; ++i)
            {
            }
        }
    }
    reader.close();
    file->drop();
    return 0;
}
