// Renders the program's sounds from their text description into 16-bit mono
// PCM wave files, one per described sound: <name in lower case>.wav.
//
//   make_sounds <description.txt> <output folder>
//
// A description line is a name, settings and, after "|", the notes:
//   NEWB  wave=bell level=0.45 attack=3 decay=120 release=30 | C5/70 G5/130
// Settings: wave (sine, triangle, soft, bell), level (peak, 0..1 of full
// scale), attack and release (ms of fade at both ends of every note), decay
// (ms for a note to fall to about a third; 0 holds it). A note is PITCH/MS;
// PITCH is a note name with octave (C5, F#4, Bb3), a frequency in Hz, a glide
// FROM>TO, or "rest". Lines starting with "#" are comments.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

enum class Wave { sine, triangle, soft, bell };

struct Note {
    double from = 0;  // Hz; 0 for a rest
    double to = 0;
    double ms = 0;
};

struct Sound {
    std::string name;
    Wave wave = Wave::sine;
    double level = 0.4;
    double attackMs = 5;
    double releaseMs = 20;
    double decayMs = 0;
    std::vector<Note> notes;
};

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

std::optional<double> Pitch(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    if (text[0] >= '0' && text[0] <= '9')
        return Number(text);
    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G')
        return std::nullopt;
    int semitone = kSemitones[letter - 'A'];
    size_t pos = 1;
    if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b')) {
        semitone += text[pos] == '#' ? 1 : -1;
        ++pos;
    }
    const std::optional<double> octave = Number(text.substr(pos));
    if (!octave || *octave != std::floor(*octave))
        return std::nullopt;
    const double midi = 12 * (*octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12);
}

bool ParseNote(const std::string& token, Note& note)
{
    const size_t slash = token.find('/');
    if (slash == std::string::npos)
        return false;
    const std::optional<double> ms = Number(token.substr(slash + 1));
    if (!ms || *ms <= 0)
        return false;
    note.ms = *ms;
    const std::string pitch = token.substr(0, slash);
    if (pitch == "rest")
        return true;
    const size_t glide = pitch.find('>');
    const std::optional<double> from = Pitch(pitch.substr(0, glide));
    const std::optional<double> to = glide == std::string::npos ? from : Pitch(pitch.substr(glide + 1));
    if (!from || !to || *from <= 0 || *to <= 0 || *from >= kRate / 2 || *to >= kRate / 2)
        return false;
    note.from = *from;
    note.to = *to;
    return true;
}

bool ParseSetting(const std::string& token, Sound& sound)
{
    const size_t equals = token.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string key = token.substr(0, equals);
    const std::string value = token.substr(equals + 1);
    if (key == "wave") {
        static const std::pair<const char*, Wave> kWaves[] = {
            {"sine", Wave::sine}, {"triangle", Wave::triangle}, {"soft", Wave::soft}, {"bell", Wave::bell}};
        for (const auto& [name, wave] : kWaves)
            if (value == name) {
                sound.wave = wave;
                return true;
            }
        return false;
    }
    const std::optional<double> number = Number(value);
    if (!number || *number < 0)
        return false;
    if (key == "level" && *number <= 1)
        sound.level = *number;
    else if (key == "attack")
        sound.attackMs = *number;
    else if (key == "release")
        sound.releaseMs = *number;
    else if (key == "decay")
        sound.decayMs = *number;
    else
        return false;
    return true;
}

// Band-limited shapes, each with a peak of at most 1, so that a sound's level
// is its true peak and nothing clips.
double Shape(Wave wave, double phase, double sinceStart)
{
    switch (wave) {
    case Wave::sine:
        return std::sin(phase);
    case Wave::triangle: {
        // The first four odd harmonics: round-shouldered, no buzz.
        double sum = 0;
        double sign = 1;
        for (int k = 1; k <= 7; k += 2, sign = -sign)
            sum += sign * std::sin(k * phase) / (k * k);
        return sum * 8 / (std::numbers::pi * std::numbers::pi);
    }
    case Wave::soft:
        return (std::sin(phase) + 0.25 * std::sin(3 * phase)) / 1.25;
    case Wave::bell: {
        // Overtones that fade faster than the fundamental, as a struck bar's do.
        const double shimmer = std::exp(-sinceStart / 0.06);
        return (std::sin(phase) + 0.4 * shimmer * std::sin(2 * phase) + 0.15 * shimmer * std::sin(3.01 * phase)) / 1.55;
    }
    }
    return 0;
}

// Raised-cosine fades: no click at the ends of a note.
double Fade(double t, double length)
{
    if (length <= 0 || t >= length)
        return 1;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * t / length);
}

std::vector<int16_t> Render(const Sound& sound)
{
    std::vector<int16_t> samples;
    for (const Note& note : sound.notes) {
        const size_t count = static_cast<size_t>(std::lround(note.ms * kRate / 1000));
        const double length = static_cast<double>(count) / kRate;
        double attack = sound.attackMs / 1000;
        double release = sound.releaseMs / 1000;
        if (attack + release > length) {
            const double scale = length / (attack + release);
            attack *= scale;
            release *= scale;
        }
        double phase = 0;
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            double value = 0;
            if (note.from > 0) {
                // Glides move evenly in pitch, not in Hz.
                const double frequency = note.from * std::pow(note.to / note.from, t / length);
                phase += 2 * std::numbers::pi * frequency / kRate;
                value = Shape(sound.wave, phase, t) * Fade(t, attack) * Fade(length - t, release);
                if (sound.decayMs > 0)
                    value *= std::exp(-t * 1000 / sound.decayMs);
            }
            const double scaled = std::clamp(value * sound.level, -1.0, 1.0) * 32767;
            samples.push_back(static_cast<int16_t>(std::lround(scaled)));
        }
    }
    return samples;
}

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string WaveFile(const std::vector<int16_t>& samples)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, 1, 2);  // mono
    PutLe(out, kRate, 4);
    PutLe(out, kRate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (int16_t sample : samples)
        PutLe(out, static_cast<uint16_t>(sample), 2);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_sounds <description.txt> <output folder>\n";
        return 2;
    }
    std::ifstream description(argv[1]);
    if (!description) {
        std::cerr << argv[1] << ": cannot read\n";
        return 1;
    }
    std::vector<Sound> sounds;
    std::string line;
    for (int number = 1; std::getline(description, line); ++number) {
        std::istringstream tokens(line);
        Sound sound;
        if (!(tokens >> sound.name) || sound.name[0] == '#')
            continue;
        bool inNotes = false;
        for (std::string token; tokens >> token;) {
            bool good = true;
            if (token == "|") {
                good = !inNotes;
                inNotes = true;
            } else if (inNotes) {
                good = ParseNote(token, sound.notes.emplace_back());
            } else {
                good = ParseSetting(token, sound);
            }
            if (!good) {
                std::cerr << argv[1] << ":" << number << ": cannot read \"" << token << "\"\n";
                return 1;
            }
        }
        if (sound.notes.empty()) {
            std::cerr << argv[1] << ":" << number << ": " << sound.name << " has no notes\n";
            return 1;
        }
        sounds.push_back(std::move(sound));
    }
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    for (const Sound& sound : sounds) {
        std::string fileName;
        for (char c : sound.name)
            fileName += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string path = std::string(argv[2]) + "/" + fileName + ".wav";
        const std::string bytes = WaveFile(Render(sound));
        std::ofstream out(path, std::ios::binary);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            std::cerr << path << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
