#include "PackPlan.h"

#include "FrameLoader.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace pellora::spritepack
{

namespace
{

bool parseInt(const std::string& text, int32_t& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = strtoll(text.c_str(), &end, 10);
    if (*end != 0 || errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

// The last frame of a looping animation jumps back to the first.
void closeLoop(SPlannedAnimation& animation, bool loop, bool lastStepGiven)
{
    if (loop && !lastStepGiven && !animation.frames.empty())
        animation.frames.back().step = 1 - int32_t(animation.frames.size());
}

} // namespace

bool readManifest(const std::string& path, std::vector<SPlannedAnimation>& animations,
                  std::string& error)
{
    std::ifstream in(path);
    if (!in)
    {
        error = path + ": cannot be opened";
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);

    SPlannedAnimation* current = nullptr;
    bool loop = false, lastStepGiven = false;
    int32_t hotspotX = 0, hotspotY = 0, duration = 100;
    std::string text;
    for (int lineNumber = 1; std::getline(in, text); ++lineNumber)
    {
        const std::string where = path + ":" + std::to_string(lineNumber) + ": ";
        const size_t hash = text.find('#');
        std::istringstream words(hash == std::string::npos ? text : text.substr(0, hash));
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty()) continue;
        const bool isAnimation = w[0] == "animation";
        if (!isAnimation && w[0] != "frame")
        {
            error = where + "expected \"animation\" or \"frame\", found \"" + w[0] + "\"";
            return false;
        }
        if (w.size() < 2)
        {
            error = where + "\"" + w[0] + "\" needs a name";
            return false;
        }
        if (isAnimation)
        {
            if (current) closeLoop(*current, loop, lastStepGiven);
            animations.push_back({w[1], {}});
            current = &animations.back();
            loop = lastStepGiven = false;
            hotspotX = hotspotY = 0;
            duration = 100;
        }
        else if (!current)
        {
            error = where + "a frame before any \"animation\" line";
            return false;
        }
        SPlannedFrame frame;
        frame.path = !w[1].empty() && w[1][0] == '/' ? w[1] : folder + w[1];
        frame.hotspotX = hotspotX;
        frame.hotspotY = hotspotY;
        frame.duration = duration;
        bool stepGiven = false;
        for (size_t i = 2; i < w.size(); ++i)
        {
            const size_t values = w.size() - i - 1;
            bool ok = true;
            if (w[i] == "loop" && isAnimation)
            {
                loop = true;
            }
            else if (w[i] == "hotspot" && values >= 2)
            {
                ok = parseInt(w[i + 1], frame.hotspotX) && parseInt(w[i + 2], frame.hotspotY);
                i += 2;
            }
            else if (w[i] == "duration" && values >= 1)
            {
                ++i;
                if (w[i] == "forever")
                    frame.duration = -1;
                else
                    ok = parseInt(w[i], frame.duration);
            }
            else if (w[i] == "step" && values >= 1 && !isAnimation)
            {
                ++i;
                ok = parseInt(w[i], frame.step);
                stepGiven = true;
            }
            else
            {
                ok = false;
            }
            if (!ok)
            {
                error = where + "cannot understand \"" + w[i] + "\"";
                return false;
            }
        }
        if (isAnimation)
        {
            hotspotX = frame.hotspotX;
            hotspotY = frame.hotspotY;
            duration = frame.duration;
        }
        else
        {
            current->frames.push_back(frame);
            lastStepGiven = stepGiven;
        }
    }
    if (current) closeLoop(*current, loop, lastStepGiven);
    return true;
}

bool planFolder(const std::string& folder, int32_t hotspotX, int32_t hotspotY, int32_t duration,
                std::vector<SPlannedAnimation>& animations, std::string& error)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
    {
        error = folder + ": cannot be read";
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir))
        if (isFrameFileName(entry->d_name)) names.push_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());

    // Frames by animation name, ordered by their numbers.
    std::map<std::string, std::map<long long, std::string>> grouped;
    for (const std::string& name : names)
    {
        const std::string stem = name.substr(0, name.rfind('.'));
        const size_t underscore = stem.rfind('_');
        const std::string digits =
            underscore == std::string::npos ? std::string() : stem.substr(underscore + 1);
        const bool numbered = underscore != std::string::npos && underscore > 0 &&
                              !digits.empty() && digits.size() < 10 &&
                              digits.find_first_not_of("0123456789") == std::string::npos;
        std::map<long long, std::string>& frames =
            grouped[numbered ? stem.substr(0, underscore) : stem];
        const long long number = numbered ? atoll(digits.c_str()) : 0;
        if (!frames.emplace(number, name).second)
        {
            error = folder + ": " + name + " and " + frames[number] + " are the same frame";
            return false;
        }
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const auto& group : grouped)
    {
        SPlannedAnimation animation;
        animation.name = group.first;
        for (const auto& numbered : group.second)
        {
            SPlannedFrame frame;
            frame.path = prefix + numbered.second;
            frame.hotspotX = hotspotX;
            frame.hotspotY = hotspotY;
            frame.duration = duration;
            animation.frames.push_back(frame);
        }
        closeLoop(animation, true, false);
        animations.push_back(animation);
    }
    if (animations.empty())
    {
        error = folder + ": no .png or .tga files";
        return false;
    }
    return true;
}

} // namespace pellora::spritepack
