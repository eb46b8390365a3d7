#include "other/CEventScript.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace kelvo
{
namespace
{

bool parseNumber(const std::string& word, long& out)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    out = std::strtol(word.c_str(), &end, 0);
    return *end == 0;
}

bool parseValue(const std::string& word, float& out)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (*end != 0 || !(value >= -1.0 && value <= 1.0))
        return false;
    out = static_cast<float>(value);
    return true;
}

// pad [N] attach | detach | button <b> [down|up] | axis <a> <value>
bool parsePad(const std::vector<std::string>& rest, SScriptedInput& input, bool& tap)
{
    input.kind = SScriptedInput::Pad;
    size_t at = 0;
    long number;
    if (at < rest.size() && parseNumber(rest[at], number))
    {
        if (number < 0 || number > 255)
            return false;
        input.pad = static_cast<int>(number);
        ++at;
    }
    if (at == rest.size())
        return false;
    const std::string& verb = rest[at++];
    const size_t left = rest.size() - at;
    if (verb == "attach" || verb == "detach")
    {
        input.padAction = verb == "attach" ? SScriptedInput::PadAttach : SScriptedInput::PadDetach;
        return left == 0;
    }
    if (verb == "button")
    {
        input.padAction = SScriptedInput::PadButton;
        if (left < 1 || left > 2 || !parseNumber(rest[at], number) || number < 0 || number > 13)
            return false;
        input.code = static_cast<uint32_t>(number);
        if (left == 2 && rest[at + 1] != "down" && rest[at + 1] != "up")
            return false;
        tap = left == 1;
        input.down = left == 1 || rest[at + 1] == "down";
        input.up = false;
        return true;
    }
    if (verb == "axis")
    {
        input.padAction = SScriptedInput::PadAxis;
        // Axes 2 and 5 do not exist on a pad; the triggers do not go below 0.
        if (left != 2 || !parseNumber(rest[at], number) || number < 0 || number > 7 ||
            number == 2 || number == 5 || !parseValue(rest[at + 1], input.value) ||
            (number >= 6 && input.value < 0))
            return false;
        input.code = static_cast<uint32_t>(number);
        return true;
    }
    return false;
}

bool parseOne(const std::string& line, SScriptedInput& input, bool& tap)
{
    std::istringstream words(line);
    std::string passText, kind;
    long pass;
    if (!(words >> passText >> kind) || !parseNumber(passText, pass) || pass < 1)
        return false;
    input.pass = static_cast<uint32_t>(pass);

    std::vector<std::string> rest;
    for (std::string w; words >> w;)
        rest.push_back(w);
    std::vector<long> numbers;
    for (const std::string& w : rest)
    {
        long n;
        if (parseNumber(w, n))
            numbers.push_back(n);
    }
    auto has = [&](const char* word) {
        for (const std::string& w : rest)
            if (w == word)
                return true;
        return false;
    };
    // Without "down" or "up" a key is tapped (pressed and released, as a
    // person does), and a mouse button is pressed only unless "click" says so.
    auto setUpDown = [&](bool tapByDefault) {
        const bool plain = !has("down") && !has("up") && !has("press") && !has("click");
        input.down = !has("up");
        input.up = has("up") || has("press") || has("click") || (plain && tapByDefault);
    };

    if (kind == "key")
    {
        if (numbers.size() != 1)
            return false;
        input.kind = SScriptedInput::Key;
        input.code = static_cast<uint32_t>(numbers[0]);
        setUpDown(true);
        input.control = has("ctrl");
        input.shift = has("shift");
        input.alt = has("alt");
        return true;
    }
    if (kind == "char")
    {
        if (numbers.size() != 1)
            return false;
        input.kind = SScriptedInput::Character;
        input.code = static_cast<uint32_t>(numbers[0]);
        return true;
    }
    if (kind == "mouse")
    {
        if (numbers.size() != 2 || rest.empty())
            return false;
        input.kind = SScriptedInput::MouseButton;
        if (rest[0] == "left")
            input.code = 0;
        else if (rest[0] == "right")
            input.code = 1;
        else if (rest[0] == "middle")
            input.code = 2;
        else
            return false;
        setUpDown(false);
        input.x = static_cast<int32_t>(numbers[0]);
        input.y = static_cast<int32_t>(numbers[1]);
        return true;
    }
    if (kind == "move" || kind == "wheel")
    {
        if (numbers.size() != (kind == "move" ? 2u : 3u))
            return false;
        input.kind = kind == "move" ? SScriptedInput::MouseMove : SScriptedInput::Wheel;
        input.x = static_cast<int32_t>(numbers[0]);
        input.y = static_cast<int32_t>(numbers[1]);
        if (kind == "wheel")
            input.wheel = static_cast<float>(numbers[2]);
        return true;
    }
    if (kind == "pad")
        return parsePad(rest, input, tap);
    if (kind == "quit")
    {
        input.kind = SScriptedInput::Quit;
        return true;
    }
    return false;
}

// One line gives one input, or two for a tap of a pad button (pressed in
// its pass, released in the next).
bool parseLine(const std::string& line, std::vector<SScriptedInput>& out)
{
    SScriptedInput input;
    bool tap = false;
    if (!parseOne(line, input, tap))
        return false;
    out.push_back(input);
    if (tap)
    {
        input.pass += 1;
        input.down = false;
        out.push_back(input);
    }
    return true;
}

} // namespace

bool CEventScript::parse(const zu::core::CString& text, zu::core::CString& error)
{
    std::istringstream lines(text.str());
    std::string line;
    int number = 0;
    while (std::getline(lines, line))
    {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (!parseLine(line, m_events))
        {
            error = "malformed event on line " + std::to_string(number) + ": " + line;
            return false;
        }
    }
    return true;
}

bool CEventScript::load(const zu::core::CString& path, zu::core::CString& error)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
    {
        error = "cannot open " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    return parse(text.str(), error);
}

std::vector<SScriptedInput> CEventScript::eventsForPass(uint32_t pass) const
{
    std::vector<SScriptedInput> out;
    for (const SScriptedInput& e : m_events)
        if (e.pass == pass)
            out.push_back(e);
    return out;
}

} // namespace kelvo
