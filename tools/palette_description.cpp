#include "tools/palette_description.h"

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace tools {
namespace {

std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            tokens.push_back(line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1));
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r' && line[end] != '#')
                ++end;
            tokens.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return tokens;
}

std::optional<double> Number(const std::string& text)
{
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size() && std::isfinite(value))
            return value;
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<int> Integer(const std::string& text, int low, int high)
{
    const std::optional<double> value = Number(text);
    if (!value || *value != std::floor(*value) || *value < low || *value > high)
        return std::nullopt;
    return static_cast<int>(*value);
}

// Three channel values starting at tokens[at].
std::optional<Rgb> Colour(const std::vector<std::string>& tokens, size_t at)
{
    if (at + 3 > tokens.size())
        return std::nullopt;
    const std::optional<int> r = Integer(tokens[at], 0, 255);
    const std::optional<int> g = Integer(tokens[at + 1], 0, 255);
    const std::optional<int> b = Integer(tokens[at + 2], 0, 255);
    if (!r || !g || !b)
        return std::nullopt;
    return Rgb{static_cast<uint8_t>(*r), static_cast<uint8_t>(*g), static_cast<uint8_t>(*b)};
}

uint8_t Mix(uint8_t from, uint8_t to, double t)
{
    return static_cast<uint8_t>(std::lround(from + (to - from) * t));
}

Rgb Mix(Rgb from, Rgb to, double t)
{
    return Rgb{Mix(from.r, to.r, t), Mix(from.g, to.g, t), Mix(from.b, to.b, t)};
}

class Reader {
public:
    explicit Reader(Palette& palette) : m_palette(palette) {}

    bool Line(const std::vector<std::string>& t, std::string& error)
    {
        const std::string& key = t[0];
        if (key == "ramp")
            return Ramp(t, error);
        if (key == "entry") {
            const std::optional<int> index = t.size() >= 5 ? Integer(t[1], 0, kPaletteSize - 1) : std::nullopt;
            const std::optional<Rgb> rgb = Colour(t, 2);
            if (!index || !rgb)
                return Fail(error, "expected: entry INDEX RED GREEN BLUE");
            return Set(*index, *rgb, error);
        }
        if (key == "colour")
            return BrickColour(t, error);
        if (key == "cube")
            return Cube(t, error);
        if (key == "greys")
            return Greys(t, error);
        return Fail(error, "unknown keyword \"" + key + "\"");
    }

    bool Finish(std::string& error)
    {
        if (m_colours != kBrickColours)
            return Fail(error, "expected " + std::to_string(kBrickColours) + " brick colours, found " +
                                   std::to_string(m_colours));
        for (int i = 0; i < kPaletteSize; ++i)
            if (!m_set[i])
                return Fail(error, "entry " + std::to_string(i) + " is not described");
        return true;
    }

private:
    static bool Fail(std::string& error, const std::string& message)
    {
        error = message;
        return false;
    }

    bool Set(int index, Rgb rgb, std::string& error)
    {
        if (m_set[index])
            return Fail(error, "entry " + std::to_string(index) + " is described twice");
        m_set[index] = true;
        m_palette.entries[index] = rgb;
        return true;
    }

    bool Ramp(const std::vector<std::string>& t, std::string& error)
    {
        if (t.size() != 1 + kShades)
            return Fail(error, "expected: ramp and nine fractions");
        for (int s = 0; s < kShades; ++s) {
            const std::optional<double> v = Number(t[1 + s]);
            if (!v || *v < 0 || *v > 1)
                return Fail(error, "ramp fractions lie from 0 to 1");
            m_ramp[s] = *v;
        }
        if (m_ramp[4] != 0)
            return Fail(error, "the middle shade is the pure colour: its fraction is 0");
        m_haveRamp = true;
        return true;
    }

    // colour NAME R G B [light R G B] [dark R G B]
    bool BrickColour(const std::vector<std::string>& t, std::string& error)
    {
        if (!m_haveRamp)
            return Fail(error, "the ramp comes before the colours");
        if (m_colours == kBrickColours)
            return Fail(error, "more than " + std::to_string(kBrickColours) + " brick colours");
        const std::optional<Rgb> pure = t.size() >= 5 ? Colour(t, 2) : std::nullopt;
        if (!pure)
            return Fail(error, "expected: colour NAME RED GREEN BLUE [light R G B] [dark R G B]");
        Rgb light{255, 255, 255};
        Rgb dark{0, 0, 0};
        for (size_t i = 5; i < t.size(); i += 4) {
            const std::optional<Rgb> end = Colour(t, i + 1);
            if (!end || (t[i] != "light" && t[i] != "dark"))
                return Fail(error, "expected light R G B or dark R G B after the colour");
            (t[i] == "light" ? light : dark) = *end;
        }
        const int c = m_colours++;
        m_palette.colourNames[c] = t[1];
        for (int s = 0; s < kShades; ++s) {
            const Rgb shade = s <= 4 ? Mix(*pure, light, m_ramp[s]) : Mix(*pure, dark, m_ramp[s]);
            if (!Set(ShadeEntry(c, s), shade, error))
                return false;
        }
        return true;
    }

    // greys FIRST LAST FROM TO
    bool Greys(const std::vector<std::string>& t, std::string& error)
    {
        if (t.size() != 5)
            return Fail(error, "expected: greys FIRST LAST FROM TO");
        const std::optional<int> first = Integer(t[1], 0, kPaletteSize - 1);
        const std::optional<int> last = Integer(t[2], 0, kPaletteSize - 1);
        const std::optional<int> from = Integer(t[3], 0, 255);
        const std::optional<int> to = Integer(t[4], 0, 255);
        if (!first || !last || !from || !to || *last <= *first)
            return Fail(error, "expected: greys FIRST LAST FROM TO");
        const int a = *first;
        const int b = *last;
        for (int i = a; i <= b; ++i) {
            const uint8_t v = Mix(static_cast<uint8_t>(*from), static_cast<uint8_t>(*to),
                                  static_cast<double>(i - a) / (b - a));
            if (!Set(i, Rgb{v, v, v}, error))
                return false;
        }
        return true;
    }

    // cube FIRST LEVEL... : every (r, g, b) over the levels, red slowest.
    bool Cube(const std::vector<std::string>& t, std::string& error)
    {
        const std::optional<int> first = t.size() >= 3 ? Integer(t[1], 0, kPaletteSize - 1) : std::nullopt;
        std::vector<uint8_t> levels;
        for (size_t i = 2; i < t.size(); ++i) {
            const std::optional<int> v = Integer(t[i], 0, 255);
            if (!v)
                return Fail(error, "cube levels lie from 0 to 255");
            levels.push_back(static_cast<uint8_t>(*v));
        }
        if (!first || levels.empty())
            return Fail(error, "expected: cube FIRST LEVEL...");
        const size_t n = levels.size();
        if (*first + n * n * n > static_cast<size_t>(kPaletteSize))
            return Fail(error, "the cube runs past entry 255");
        int index = *first;
        for (uint8_t r : levels)
            for (uint8_t g : levels)
                for (uint8_t b : levels)
                    if (!Set(index++, Rgb{r, g, b}, error))
                        return false;
        return true;
    }

    Palette& m_palette;
    std::array<bool, kPaletteSize> m_set{};
    std::array<double, kShades> m_ramp{};
    bool m_haveRamp = false;
    int m_colours = 0;
};

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

}  // namespace

bool ReadPaletteDescription(const std::string& path, Palette& palette, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot read";
        return false;
    }
    palette = Palette{};
    Reader reader(palette);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty())
            continue;
        std::string message;
        if (!reader.Line(tokens, message)) {
            error = path + ":" + std::to_string(number) + ": " + message;
            return false;
        }
    }
    std::string message;
    if (!reader.Finish(message)) {
        error = path + ": " + message;
        return false;
    }
    return true;
}

std::string RiffPaletteBytes(const Palette& palette)
{
    const uint32_t chunk = 4 + 4 * kPaletteSize;
    std::string out = "RIFF";
    Put32(out, 4 + 8 + chunk);
    out += "PAL data";
    Put32(out, chunk);
    Put16(out, 0x300);
    Put16(out, kPaletteSize);
    for (const Rgb& e : palette.entries) {
        out.push_back(static_cast<char>(e.r));
        out.push_back(static_cast<char>(e.g));
        out.push_back(static_cast<char>(e.b));
        out.push_back(0);
    }
    return out;
}

}  // namespace tools
