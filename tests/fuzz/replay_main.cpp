// Runs every file of the given folders (or the given files) through a fuzz
// target once, so the normal build keeps the checked-in corpus passing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

bool replay(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i)
    {
        std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
        {
            std::vector<std::filesystem::path> files;
            for (const auto& item : std::filesystem::directory_iterator(path, error))
                if (item.is_regular_file()) files.push_back(item.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files)
                ok = replay(file) && ok, ++count;
        }
        else
            ok = replay(path) && ok, ++count;
    }
    printf("replayed %d inputs\n", count);
    return ok && count > 0 ? 0 : 1;
}
