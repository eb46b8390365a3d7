// pellora-particlepack: turns a text description of particle definitions
// into a particle package, and prints any package as that text.
#include "CParticleWriter.h"
#include "ParticleText.h"
#include "video/ParticlePackageFormat.h"
#include "video/null/CParticlePackageReader.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace pellora::particlepack;

namespace
{

const char* const kUsage =
    "usage: pellora-particlepack DESCRIPTION OUTPUT\n"
    "       pellora-particlepack --dump PACKAGE\n"
    "DESCRIPTION is a text file of definition blocks (see the README); OUTPUT is\n"
    "written as a package of file version 8.\n"
    "  --dump PACKAGE   print a package of any version as that text\n";

int usage(const char* problem)
{
    fprintf(stderr, "pellora-particlepack: %s\n%s", problem, kUsage);
    return 2;
}

bool readBytes(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int dump(const std::string& path)
{
    std::string bytes;
    if (!readBytes(path, bytes))
    {
        fprintf(stderr, "pellora-particlepack: %s cannot be read\n", path.c_str());
        return 1;
    }
    kelvo::video::CParticlePackageReader reader;
    if (!reader.read(std::vector<uint8_t>(bytes.begin(), bytes.end())))
    {
        fprintf(stderr, "pellora-particlepack: %s: %s\n", path.c_str(),
                reader.getProblem().c_str());
        return 1;
    }
    printf("# %s: particle package version %d, %zu definitions\n", path.c_str(),
           reader.getVersion(), reader.getDefinitions().size());
    fputs(formatParticleText(reader.getDefinitions()).c_str(), stdout);
    return 0;
}

int pack(const std::string& input, const std::string& output)
{
    std::string text;
    if (!readBytes(input, text))
    {
        fprintf(stderr, "pellora-particlepack: %s cannot be read\n", input.c_str());
        return 1;
    }
    std::vector<zu::video::SParticleDefinition> definitions;
    std::string error, warnings;
    const bool parsed = parseParticleText(text, definitions, error, warnings);
    for (size_t start = 0; start < warnings.size();)
    {
        const size_t end = warnings.find('\n', start);
        fprintf(stderr, "pellora-particlepack: %s: warning: %s\n", input.c_str(),
                warnings.substr(start, end - start).c_str());
        start = end == std::string::npos ? warnings.size() : end + 1;
    }
    if (!parsed)
    {
        fprintf(stderr, "pellora-particlepack: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes = CParticleWriter::write(definitions);
    FILE* out = fopen(output.c_str(), "wb");
    const bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (!out || fclose(out) != 0 || !written)
    {
        fprintf(stderr, "pellora-particlepack: %s cannot be written\n", output.c_str());
        return 1;
    }
    printf("%s: %zu definitions, version %d, %zu bytes\n", output.c_str(), definitions.size(),
           zu::video::particlefile::NEWEST_VERSION, bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
        {
            fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--dump")
            return i + 1 < argc ? dump(argv[i + 1]) : usage("--dump needs a package");
        if (arg.compare(0, 2, "--") == 0) return usage(("unknown option " + arg).c_str());
        paths.push_back(arg);
    }
    if (paths.size() != 2) return usage("give one description and one output");
    return pack(paths[0], paths[1]);
}
