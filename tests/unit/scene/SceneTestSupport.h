// Model files the scene tests load, written at test time: a cube as an OBJ
// file by hand, and as a 3DS file converted from it by Assimp's own tool.
#pragma once

#include "io/IoTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

namespace scenetest
{

// An axis-aligned cube of the given half size around the origin, faces
// counter-clockwise seen from outside (as OBJ files are), with texture
// coordinates and, unless told otherwise, normals.
inline void writeCubeObj(const std::string& path, float half, bool normals = true)
{
    std::string text = "# a cube\n";
    const char* corners[8] = {"-1 -1 -1", "1 -1 -1", "1 1 -1", "-1 1 -1",
                              "-1 -1 1",  "1 -1 1",  "1 1 1",  "-1 1 1"};
    for (const char* corner : corners)
    {
        float x, y, z;
        sscanf(corner, "%f %f %f", &x, &y, &z);
        text += "v " + std::to_string(x * half) + " " + std::to_string(y * half) + " " +
                std::to_string(z * half) + "\n";
    }
    text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    text += "vn 0 0 -1\nvn 0 0 1\nvn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\n";
    // Each face: four corners, its normal.
    const int faces[6][5] = {{1, 4, 3, 2, 1}, {5, 6, 7, 8, 2}, {1, 5, 8, 4, 3},
                             {2, 3, 7, 6, 4}, {1, 2, 6, 5, 5}, {4, 8, 7, 3, 6}};
    for (const auto& f : faces)
    {
        auto corner = [&](int i, int uv)
        {
            return std::to_string(f[i]) + "/" + std::to_string(uv) +
                   (normals ? "/" + std::to_string(f[4]) : std::string());
        };
        text += "f " + corner(0, 1) + " " + corner(1, 2) + " " + corner(2, 3) + " " + corner(3, 4) +
                "\n";
    }
    iotest::writeDiskFile(path, text);
}

// The same model in another format, written by `assimp export`; false when
// the tool failed.
inline bool convertModel(const std::string& from, const std::string& to)
{
    // The tool reports its progress on standard output; the test has no use for it.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    std::string args[4] = {"assimp", "export", from, to};
    char* argv[5] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
    pid_t pid;
    int status = -1;
    if (posix_spawnp(&pid, argv[0], &quiet, nullptr, argv, environ) == 0) waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&quiet);
    return status == 0 && iotest::fileExists(to);
}

} // namespace scenetest
