#include "ParticleText.h"

#include "video/ParticlePackageFormat.h"
#include "video/null/CParticlePackageReader.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <type_traits>

using zu::core::CString;
using zu::video::SParticleCurve;
using zu::video::SParticleDefinition;
using zu::video::SVector3f;
namespace particlefile = zu::video::particlefile;

namespace pellora::particlepack
{

namespace
{

using D = SParticleDefinition;

enum EKind
{
    TEXT,
    CURVE,
    FLAG,
    INT,
    FLOAT,
    COLOR,
    VECTOR,
    LIST
};

// One field of the record: its name and where it lives, by kind.
struct SField
{
    const char* name;
    EKind kind;
    CString D::*text = nullptr;
    SParticleCurve D::*curve = nullptr;
    bool D::*flag = nullptr;
    int32_t D::*integer = nullptr;
    float D::*real = nullptr;
    int32_t (D::*color)[4] = nullptr;
    SVector3f D::*vector = nullptr;
    std::vector<CString> D::*list = nullptr;
};

// The field of a member, its kind told by the member's type.
template <class T> SField field(const char* name, T D::*member)
{
    SField f{name, TEXT};
    if constexpr (std::is_same_v<T, CString>)
        f.text = member;
    else if constexpr (std::is_same_v<T, SParticleCurve>)
        f.kind = CURVE, f.curve = member;
    else if constexpr (std::is_same_v<T, bool>)
        f.kind = FLAG, f.flag = member;
    else if constexpr (std::is_same_v<T, int32_t>)
        f.kind = INT, f.integer = member;
    else if constexpr (std::is_same_v<T, float>)
        f.kind = FLOAT, f.real = member;
    else if constexpr (std::is_same_v<T, int32_t[4]>)
        f.kind = COLOR, f.color = member;
    else if constexpr (std::is_same_v<T, SVector3f>)
        f.kind = VECTOR, f.vector = member;
    else
        f.kind = LIST, f.list = member;
    return f;
}

// In the record's order.
const std::vector<SField>& fields()
{
    static const std::vector<SField> table = {
        field("sprites", &D::sprites),
        field("sounds", &D::sounds),
        field("speedCurve", &D::speedCurve),
        field("curveX", &D::curveX),
        field("curveY", &D::curveY),
        field("curveZ", &D::curveZ),
        field("flagA", &D::flagA),
        field("shadow", &D::shadow),
        field("normalizeSpeed", &D::normalizeSpeed),
        field("angleZMin", &D::angleZMin),
        field("angleYMin", &D::angleYMin),
        field("speedMin", &D::speedMin),
        field("angleZMax", &D::angleZMax),
        field("angleYMax", &D::angleYMax),
        field("speedMax", &D::speedMax),
        field("inheritFactor", &D::inheritFactor),
        field("bounceFactor", &D::bounceFactor),
        field("maxBounces", &D::maxBounces),
        field("drawScale", &D::drawScale),
        field("lifeMin", &D::lifeMin),
        field("lifeMax", &D::lifeMax),
        field("skipFirstEmission", &D::skipFirstEmission),
        field("mirrorByDirection", &D::mirrorByDirection),
        field("faceDirection", &D::faceDirection),
        field("dieWithAnimation", &D::dieWithAnimation),
        field("colorStart", &D::colorStart),
        field("colorEnd", &D::colorEnd),
        field("scaleStart", &D::scaleStart),
        field("scaleEnd", &D::scaleEnd),
        field("deathList", &D::deathList),
        field("rotationSpeed", &D::rotationSpeed),
        field("emitMin", &D::emitMin),
        field("emitMax", &D::emitMax),
        field("burstMin", &D::burstMin),
        field("burstMax", &D::burstMax),
        field("intervalMin", &D::intervalMin),
        field("intervalMax", &D::intervalMax),
        field("maxEmissions", &D::maxEmissions),
        field("offsetMin", &D::offsetMin),
        field("offsetMax", &D::offsetMax),
        field("children", &D::children),
        field("level", &D::level),
    };
    return table;
}

const char* const kCurveTypes[particlefile::CURVE_TYPE_COUNT] = {
    "constant", "linear", "sine", "triangle", "square", "impulse", "exp", "negexp"};
const char* const kClamps[particlefile::CLAMP_COUNT] = {"none", "abs", "positive"};

// The words of a line: blanks separate them, double quotes hold blanks (and
// make an empty word), '#' outside quotes ends the line.
bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& error)
{
    words.clear();
    size_t i = 0;
    while (i < line.size())
    {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r')
        {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        if (c == '"')
        {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
            {
                error = "a quote is not closed";
                return false;
            }
            word = line.substr(i + 1, end - i - 1);
            i = end + 1;
        }
        else
        {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '#' && line[i] != '"')
                word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

bool toInt(const std::string& word, int32_t& value)
{
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = strtoll(word.c_str(), &end, 10);
    if (*end || errno || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = int32_t(parsed);
    return true;
}

bool toFloat(const std::string& word, float& value)
{
    if (word.empty()) return false;
    char* end = nullptr;
    const double parsed = strtod(word.c_str(), &end);
    if (*end || !std::isfinite(parsed) || std::fabs(parsed) > 3.4e38) return false;
    value = float(parsed);
    return true;
}

bool toFlag(const std::string& word, bool& value)
{
    if (word == "yes" || word == "true" || word == "1")
        value = true;
    else if (word == "no" || word == "false" || word == "0")
        value = false;
    else
        return false;
    return true;
}

// A name of the list, or a number.
bool toChoice(const std::string& word, const char* const* names, int count, int32_t& value)
{
    for (int i = 0; i < count; ++i)
        if (word == names[i])
        {
            value = i;
            return true;
        }
    return toInt(word, value);
}

// Reads the values of one field into the definition; false with the reason.
bool readField(const SField& f, const std::vector<std::string>& v, D& d, std::string& error)
{
    const size_t n = v.size();
    auto count = [&](size_t low, size_t high)
    {
        if (n >= low && n <= high) return true;
        error = std::string(f.name) + " takes " + std::to_string(low) +
                (high > low ? " to " + std::to_string(high) : std::string()) + " value" +
                (high > 1 ? "s" : "");
        return false;
    };
    auto bad = [&](const std::string& word)
    {
        error = "bad value for " + std::string(f.name) + ": \"" + word + "\"";
        return false;
    };
    switch (f.kind)
    {
    case TEXT:
        if (!count(1, 1)) return false;
        d.*f.text = CString(v[0]);
        return true;
    case FLAG:
        return count(1, 1) && (toFlag(v[0], d.*f.flag) || bad(v[0]));
    case INT:
        return count(1, 1) && (toInt(v[0], d.*f.integer) || bad(v[0]));
    case FLOAT:
        return count(1, 1) && (toFloat(v[0], d.*f.real) || bad(v[0]));
    case COLOR:
        if (!count(4, 4)) return false;
        for (size_t i = 0; i < 4; ++i)
        {
            int32_t channel = 0;
            if (!toInt(v[i], channel) || channel < 0 || channel > 255) return bad(v[i]);
            (d.*f.color)[i] = channel;
        }
        return true;
    case VECTOR:
    {
        if (!count(3, 3)) return false;
        SVector3f& out = d.*f.vector;
        return (toFloat(v[0], out.x) || bad(v[0])) && (toFloat(v[1], out.y) || bad(v[1])) &&
               (toFloat(v[2], out.z) || bad(v[2]));
    }
    case LIST:
        (d.*f.list).clear();
        for (const std::string& word : v)
            (d.*f.list).push_back(CString(word));
        return true;
    case CURVE:
    {
        if (!count(1, 5)) return false;
        SParticleCurve c;
        if (!toFloat(v[0], c.amplitude)) return bad(v[0]);
        if (n > 1 && !toFloat(v[1], c.frequency)) return bad(v[1]);
        if (n > 2 && !toFloat(v[2], c.phase)) return bad(v[2]);
        if (n > 3 && !toChoice(v[3], kCurveTypes, particlefile::CURVE_TYPE_COUNT, c.type))
            return bad(v[3]);
        if (n > 4 && !toChoice(v[4], kClamps, particlefile::CLAMP_COUNT, c.clamp)) return bad(v[4]);
        d.*f.curve = c;
        return true;
    }
    }
    return false;
}

// The shortest text that reads back as the same float, without an
// exponent for whole numbers a person would type.
std::string number(float value)
{
    char text[48];
    if (value == std::floor(value) && std::fabs(value) < 1e9f)
    {
        snprintf(text, sizeof text, "%.0f", double(value));
        if (strtof(text, nullptr) == value && !(value == 0.f && std::signbit(value))) return text;
    }
    for (int digits = 1; digits <= 9; ++digits)
    {
        snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (strtof(text, nullptr) == value) break;
    }
    return text;
}

// A word, quoted when it is empty or holds what splitWords would cut at.
std::string word(const CString& text)
{
    const std::string& s = text.str();
    if (s.empty() || s.find_first_of(" \t\r#") != std::string::npos) return "\"" + s + "\"";
    return s;
}

std::string choice(int32_t value, const char* const* names, int count)
{
    return value >= 0 && value < count ? names[value] : std::to_string(value);
}

std::string formatField(const SField& f, const D& d)
{
    switch (f.kind)
    {
    case TEXT:
        return word(d.*f.text);
    case FLAG:
        return d.*f.flag ? "yes" : "no";
    case INT:
        return std::to_string(d.*f.integer);
    case FLOAT:
        return number(d.*f.real);
    case COLOR:
    {
        const int32_t* c = d.*f.color;
        return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]) +
               " " + std::to_string(c[3]);
    }
    case VECTOR:
    {
        const SVector3f& v = d.*f.vector;
        return number(v.x) + " " + number(v.y) + " " + number(v.z);
    }
    case LIST:
    {
        std::string out;
        for (const CString& name : d.*f.list)
            out += (out.empty() ? "" : " ") + word(name);
        return out;
    }
    case CURVE:
    {
        const SParticleCurve& c = d.*f.curve;
        return number(c.amplitude) + " " + number(c.frequency) + " " + number(c.phase) + " " +
               choice(c.type, kCurveTypes, particlefile::CURVE_TYPE_COUNT) + " " +
               choice(c.clamp, kClamps, particlefile::CLAMP_COUNT);
    }
    }
    return std::string();
}

// Colour channels are written as given but a file may hold any number; the
// text keeps them within what it accepts.
bool readsBack(const D& d)
{
    for (int i = 0; i < 4; ++i)
        if (d.colorStart[i] < 0 || d.colorStart[i] > 255 || d.colorEnd[i] < 0 ||
            d.colorEnd[i] > 255)
            return false;
    return true;
}

} // namespace

bool parseParticleText(const std::string& text, std::vector<SParticleDefinition>& definitions,
                       std::string& error, std::string& warnings)
{
    definitions.clear();
    std::set<std::string> names;
    std::set<std::string> given;
    std::vector<std::pair<size_t, std::string>> mentioned; // line, name
    std::vector<std::string> words;
    size_t lineNumber = 0, start = 0;
    auto fail = [&](const std::string& what)
    {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        definitions.clear();
        return false;
    };
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        std::string problem;
        if (!splitWords(line, words, problem)) return fail(problem);
        if (words.empty()) continue;
        const std::string& key = words[0];
        const std::vector<std::string> values(words.begin() + 1, words.end());
        if (key == "definition")
        {
            if (values.size() != 1) return fail("definition takes one name");
            if (!names.insert(values[0]).second)
                return fail("the definition " + values[0] + " is there twice");
            definitions.emplace_back();
            definitions.back().name = CString(values[0]);
            given.clear();
            continue;
        }
        if (definitions.empty()) return fail("a field before the first definition line");
        const SField* field = nullptr;
        for (const SField& f : fields())
            if (key == f.name) field = &f;
        if (!field) return fail("unknown field \"" + key + "\"");
        if (!given.insert(key).second) return fail(key + " is given twice");
        D& d = definitions.back();
        if (!readField(*field, values, d, problem)) return fail(problem);
        if (field->kind == LIST)
            for (const CString& name : d.*field->list)
                if (name.empty() || name[0] != particlefile::SURFACE_MARK)
                    mentioned.emplace_back(lineNumber, name.str());
    }
    for (D& d : definitions)
    {
        d.spriteNames = kelvo::video::CParticlePackageReader::splitNames(d.sprites);
        d.soundNames = kelvo::video::CParticlePackageReader::splitNames(d.sounds);
    }
    for (const auto& [line, name] : mentioned)
        if (!names.count(name))
            warnings += "line " + std::to_string(line) + ": no definition is named " + name + "\n";
    return true;
}

std::string formatParticleText(const std::vector<SParticleDefinition>& definitions)
{
    std::string out;
    for (const D& d : definitions)
    {
        out += "\ndefinition " + word(d.name) + "\n";
        if (!readsBack(d)) out += "    # a colour channel below is outside 0 to 255\n";
        for (const SField& f : fields())
        {
            const std::string values = formatField(f, d);
            out += "    " + std::string(f.name);
            if (!values.empty()) out += std::string(18 - std::string(f.name).size(), ' ') + values;
            out += "\n";
        }
    }
    return out;
}

} // namespace pellora::particlepack
