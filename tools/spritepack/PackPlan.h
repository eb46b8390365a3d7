// What goes into a package: animations and their frame files, read from a
// manifest or from a folder of frame pictures.
//
// Manifest (one directive a line, '#' starts a comment, paths relative to
// the manifest's folder):
//   animation NAME [loop] [hotspot X Y] [duration MS]
//   frame FILE [hotspot X Y] [duration MS|forever] [step N]
// A frame takes the hotspot and duration of its animation line unless it
// gives its own; steps default to 1. In a looping animation the last frame
// jumps back to the first unless it names its own step.
//
// Folder: every .png and .tga file. "walk_01.png", "walk_02.png", ... become
// the frames of a looping animation "walk" in the order of their numbers;
// any other file becomes a single-frame animation named by the file's name
// without its extension ("65.png" is the animation "65").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pellora::spritepack
{

struct SPlannedFrame
{
    std::string path;
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
    int32_t duration = 100;
    int32_t step = 1;
};

struct SPlannedAnimation
{
    std::string name;
    std::vector<SPlannedFrame> frames;
};

bool readManifest(const std::string& path, std::vector<SPlannedAnimation>& animations,
                  std::string& error);

// Frames of a folder, all with the given hotspot and duration.
bool planFolder(const std::string& folder, int32_t hotspotX, int32_t hotspotY, int32_t duration,
                std::vector<SPlannedAnimation>& animations, std::string& error);

} // namespace pellora::spritepack
