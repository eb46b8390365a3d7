// Decoding real Ogg Vorbis files (made by oggenc) and damaged ones, without
// any sound device.
#include "AudioTestSupport.h"

#include "audio/COggVorbisReader.h"
#include "io/CReadFile.h"

#include <cmath>

using kelvo::audio::COggVorbisReader;

namespace
{

struct SDecodeCase
{
    const char* file;
    bool decodes;
    int channels;   // when it decodes
    double seconds; // when it decodes; the decoded length
};

const SDecodeCase kCases[] = {
    {"tone440.ogg", true, 1, 2.0},
    {"stereo.ogg", true, 2, 1.0},
    {"short.ogg", true, 1, 0.3},
    {"long.ogg", true, 2, 6.0},
    {"voice.ogg", true, 1, 1.797},
    // Cut in the middle of the audio: what is there plays.
    {"half.ogg", true, 2, 1.665},
    // A last page claiming a thousand times the length: only what is there.
    {"claims_more.ogg", true, 1, 2.0},
    {"six.ogg", false, 0, 0},
    {"empty.ogg", false, 0, 0},
    {"header_cut.ogg", false, 0, 0},
    {"text.ogg", false, 0, 0},
    // A mono link followed by a stereo one would decode to noise.
    {"chained.ogg", false, 0, 0},
};

class OggDecoding : public ::testing::TestWithParam<SDecodeCase>
{
};

TEST_P(OggDecoding, DecodesGoodFilesAndRefusesBadOnesWithoutChecks)
{
    const SDecodeCase& c = GetParam();
    ASSERT_FALSE(audiotest::soundFolder().empty());
    audiotest::CPrintCapture capture;
    zu::io::IReadFile* file =
        kelvo::io::CReadFile::create((audiotest::soundFolder() + "/" + c.file).c_str());
    ASSERT_NE(nullptr, file);

    COggVorbisReader reader;
    int opened = reader.open(file);
    file->drop();
    std::vector<char> pcm;
    int decoded = opened == 0 ? reader.decodeAll(pcm, 64u << 20) : opened;

    EXPECT_TRUE(audiotest::CPrintCapture::checks().empty());
    if (!c.decodes)
    {
        EXPECT_NE(0, decoded);
        EXPECT_TRUE(pcm.empty());
        EXPECT_FALSE(reader.isOpen());
        return;
    }
    ASSERT_EQ(0, decoded);
    EXPECT_EQ(c.channels, reader.getChannels());
    double seconds = double(pcm.size()) / (2.0 * reader.getChannels()) / reader.getRate();
    EXPECT_NEAR(c.seconds, seconds, 0.03);
}

INSTANTIATE_TEST_SUITE_P(Files, OggDecoding, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SDecodeCase>& info)
                         {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(OggDecoding, ClaimedLengthBoundsTheBlock)
{
    // A file whose last page claims half its real length decodes to no more
    // than it claims: the rest is refused rather than written past the block.
    ASSERT_FALSE(audiotest::soundFolder().empty());
    zu::io::IReadFile* file =
        kelvo::io::CReadFile::create((audiotest::soundFolder() + "/claims_less.ogg").c_str());
    ASSERT_NE(nullptr, file);
    COggVorbisReader reader;
    ASSERT_EQ(0, reader.open(file));
    file->drop();
    int64_t claimed = reader.getClaimedSamples();
    std::vector<char> pcm;
    int result = reader.decodeAll(pcm, 64u << 20);
    if (result == 0)
        EXPECT_LE(int64_t(pcm.size()), claimed * 2);
    else
        EXPECT_EQ(COggVorbisReader::kErrorLengthMismatch, result);

    // And a limit below the claimed length refuses the file outright.
    ASSERT_TRUE(reader.rewind());
    EXPECT_EQ(COggVorbisReader::kErrorTooLong, reader.decodeAll(pcm, 1000));
}

TEST(OggDecoding, StreamsInPiecesAndRewinds)
{
    ASSERT_FALSE(audiotest::soundFolder().empty());
    zu::io::IReadFile* file =
        kelvo::io::CReadFile::create((audiotest::soundFolder() + "/short.ogg").c_str());
    COggVorbisReader reader;
    ASSERT_EQ(0, reader.open(file));
    file->drop();
    char piece[4096];
    long total = 0, got;
    while ((got = reader.read(piece, sizeof piece)) > 0)
        total += got;
    EXPECT_EQ(0, got);
    EXPECT_NEAR(0.3, total / 2.0 / reader.getRate(), 0.01);
    ASSERT_TRUE(reader.rewind());
    EXPECT_GT(reader.read(piece, sizeof piece), 0);
}

} // namespace
