// The packer's text format and command: what it refuses and why, every
// value kind read back, the dump of each file version packed again to the
// same definitions, and the command's exits.
#include "ParticleTestSupport.h"

#include "ParticleText.h"
#include "video/ParticlePackageFormat.h"
#include "video/null/CParticlePackageReader.h"

#include <cstdio>

using kelvo::video::CParticlePackageReader;
using pellora::particlepack::CParticleWriter;
using pellora::particlepack::formatParticleText;
using pellora::particlepack::parseParticleText;
using namespace particletest;

namespace
{

std::vector<SParticleDefinition> parse(const std::string& text, std::string* warnings = nullptr)
{
    std::vector<SParticleDefinition> out;
    std::string error, warned;
    EXPECT_TRUE(parseParticleText(text, out, error, warned)) << error;
    if (warnings) *warnings = warned;
    return out;
}

// The command's exit status and everything it printed.
int runPacker(const std::string& arguments, std::string& output)
{
    const std::string command =
        std::string("'") + PELLORA_PARTICLEPACK + "' " + arguments + " 2>&1";
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<SParticleDefinition> readPackage(const std::string& path)
{
    const std::string bytes = iotest::readDiskFile(path);
    CParticlePackageReader reader;
    EXPECT_TRUE(reader.read(std::vector<uint8_t>(bytes.begin(), bytes.end())));
    return reader.getDefinitions();
}

} // namespace

TEST(ParticleText, MistakesAreRefusedWithTheirLine)
{
    struct SCase
    {
        const char* text;
        const char* error;
    };
    const SCase cases[] = {
        {"lifeMin 10\n", "line 1: a field before the first definition line"},
        {"definition a\n  wobble 3\n", "line 2: unknown field \"wobble\""},
        {"definition a\ndefinition a\n", "line 2: the definition a is there twice"},
        {"definition\n", "line 1: definition takes one name"},
        {"definition a b\n", "line 1: definition takes one name"},
        {"definition a\n lifeMin 1\n lifeMin 2\n", "line 3: lifeMin is given twice"},
        {"definition a\n lifeMin soon\n", "line 2: bad value for lifeMin: \"soon\""},
        {"definition a\n lifeMin 99999999999\n", "bad value for lifeMin"},
        {"definition a\n lifeMin 1 2\n", "line 2: lifeMin takes 1 value"},
        {"definition a\n colorEnd 1 2 3\n", "line 2: colorEnd takes 4 values"},
        {"definition a\n colorEnd 1 2 3 256\n", "bad value for colorEnd: \"256\""},
        {"definition a\n shadow maybe\n", "bad value for shadow: \"maybe\""},
        {"definition a\n scaleEnd 1e99\n", "bad value for scaleEnd"},
        {"definition a\n offsetMin 1 2\n", "offsetMin takes 3 values"},
        {"definition a\n curveY\n", "curveY takes 1 to 5 values"},
        {"definition a\n curveY 1 1 0 wobble\n", "bad value for curveY: \"wobble\""},
        {"definition a\n curveY 1 1 0 sine sideways\n", "bad value for curveY: \"sideways\""},
        {"definition a\n sprites \"dot\n", "line 2: a quote is not closed"},
        {"definition a\n sprites\n", "sprites takes 1 value"},
    };
    for (const SCase& c : cases)
    {
        std::vector<SParticleDefinition> out;
        std::string error, warnings;
        EXPECT_FALSE(parseParticleText(c.text, out, error, warnings)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
        EXPECT_TRUE(out.empty());
    }
}

TEST(ParticleText, EveryKindOfValueReadsAsWritten)
{
    std::string warnings;
    const std::vector<SParticleDefinition> defs =
        parse("# a comment\n"
              "definition \"big bang\"   # names may hold blanks\n"
              "    sprites \"\"\n"
              "    sounds boom.ogg//pop.ogg\n"
              "    speedCurve 2 0.5 0.25 sine abs\n"
              "    curveY -300\n"
              "    curveZ 1 2 3 4 2\n"
              "    shadow yes\n"
              "    normalizeSpeed false\n"
              "    faceDirection 1\n"
              "    angleZMin -45\n"
              "    inheritFactor 0.75\n"
              "    colorStart 1 2 3 4\n"
              "    offsetMax 1.5 -2 3e2\n"
              "    deathList @Water splash \"@Deep Sea\" ghost\n"
              "    children\n"
              "definition splash\n",
              &warnings);
    ASSERT_EQ(defs.size(), 2u);
    const SParticleDefinition& d = defs[0];
    EXPECT_EQ(d.name, "big bang");
    EXPECT_TRUE(d.sprites.empty());
    EXPECT_TRUE(d.spriteNames.empty());
    EXPECT_EQ(d.soundNames, (std::vector<zu::core::CString>{"boom.ogg", "pop.ogg"}));
    EXPECT_FLOAT_EQ(d.speedCurve.amplitude, 2.f);
    EXPECT_FLOAT_EQ(d.speedCurve.frequency, 0.5f);
    EXPECT_FLOAT_EQ(d.speedCurve.phase, 0.25f);
    EXPECT_EQ(d.speedCurve.type, zu::video::particlefile::CURVE_SINE);
    EXPECT_EQ(d.speedCurve.clamp, zu::video::particlefile::CLAMP_ABS);
    EXPECT_FLOAT_EQ(d.curveY.amplitude, -300.f);
    EXPECT_FLOAT_EQ(d.curveY.frequency, 1.f);
    EXPECT_EQ(d.curveZ.type, 4);
    EXPECT_EQ(d.curveZ.clamp, 2);
    EXPECT_TRUE(d.shadow);
    EXPECT_FALSE(d.normalizeSpeed);
    EXPECT_TRUE(d.faceDirection);
    EXPECT_EQ(d.angleZMin, -45);
    EXPECT_FLOAT_EQ(d.inheritFactor, 0.75f);
    EXPECT_EQ(d.colorStart[3], 4);
    EXPECT_EQ(d.colorEnd[0], 255); // untouched: the default
    EXPECT_FLOAT_EQ(d.offsetMax.z, 300.f);
    EXPECT_EQ(d.deathList,
              (std::vector<zu::core::CString>{"@Water", "splash", "@Deep Sea", "ghost"}));
    EXPECT_TRUE(d.children.empty());
    EXPECT_EQ(d.lifeMin, 1000);
    // Names no definition has are only a warning; sections are not names.
    EXPECT_EQ(warnings, "line 15: no definition is named ghost\n");
}

TEST(ParticleText, FrequenciesAreStoredSoTheReaderGetsThemBack)
{
    for (float f : {1.f, 2.f, 0.3f, 0.001f, 12.34f, 3.14159265f, 1e-7f, -7.5f, 0.f, 123456.7f})
    {
        const float stored = CParticleWriter::storedFrequency(f);
        EXPECT_EQ(stored * zu::video::particlefile::FREQUENCY_UNIT, f) << f;
    }
    EXPECT_EQ(CParticleWriter::storedFrequency(2.f), 2000.f);
}

TEST(ParticleText, TheDumpOfEachVersionPacksToTheSameDefinitions)
{
    for (const char* name : {"v2.par", "v5.par", "v7.par", "v8.par", "packer.par"})
    {
        SCOPED_TRACE(name);
        const std::vector<SParticleDefinition> original =
            readPackage(sharedPackages() + "/" + name);
        ASSERT_FALSE(original.empty());
        const std::string text = formatParticleText(original);
        const std::vector<SParticleDefinition> again = parse(text);
        EXPECT_EQ(CParticleWriter::write(again), CParticleWriter::write(original));
        EXPECT_EQ(formatParticleText(again), text);
    }
}

TEST(ParticlePacker, PacksDumpsAndSaysWhatIsWrong)
{
    const std::string folder = iotest::makeScratchFolder("particlepack");
    std::string out;
    EXPECT_EQ(runPacker("--dump '" + sharedPackages() + "/v2.par'", out), 0);
    EXPECT_NE(out.find("particle package version 2, 7 definitions"), std::string::npos) << out;
    EXPECT_NE(out.find("definition constant\n"), std::string::npos);
    EXPECT_NE(out.find("    curveY            300 1 0 constant none\n"), std::string::npos) << out;

    // The dump packs again into version 8, which dumps the same definitions.
    iotest::writeDiskFile(folder + "/v2.txt", out);
    EXPECT_EQ(runPacker("'" + folder + "/v2.txt' '" + folder + "/v2-as-v8.par'", out), 0) << out;
    EXPECT_NE(out.find("7 definitions, version 8"), std::string::npos) << out;
    EXPECT_EQ(CParticleWriter::write(readPackage(folder + "/v2-as-v8.par")),
              CParticleWriter::write(readPackage(sharedPackages() + "/v2.par")));

    EXPECT_EQ(runPacker("--dump '" + sharedPackages() + "/cut-v7.par'", out), 1);
    EXPECT_NE(out.find("ends in its field"), std::string::npos) << out;

    iotest::writeDiskFile(folder + "/bad.txt", "definition a\n  level high\n");
    EXPECT_EQ(runPacker("'" + folder + "/bad.txt' '" + folder + "/bad.par'", out), 1);
    EXPECT_NE(out.find("bad.txt: line 2: bad value for level: \"high\""), std::string::npos) << out;
    EXPECT_FALSE(iotest::fileExists(folder + "/bad.par"));

    EXPECT_EQ(runPacker("only-one-path", out), 2);
    EXPECT_NE(out.find("usage:"), std::string::npos);
    EXPECT_EQ(runPacker("--dump '" + folder + "/missing.par'", out), 1);
}
