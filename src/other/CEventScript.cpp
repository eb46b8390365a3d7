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

bool parseLine(const std::string& line, SScriptedInput& input)
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
    if (kind == "quit")
    {
        input.kind = SScriptedInput::Quit;
        return true;
    }
    return false;
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
        SScriptedInput input;
        if (!parseLine(line, input))
        {
            error = "malformed event on line " + std::to_string(number) + ": " + line;
            return false;
        }
        m_events.push_back(input);
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
