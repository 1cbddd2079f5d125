// The private profile reader: whatever the bytes, reading never fails, and
// what is read is written and read back unchanged, so a write never alters
// what it did not touch.
#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "platform/core/profile.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void ExpectRoundTrip(const platform::ProfileData& data)
{
    const std::string text = data.Serialize();
    // Escaping may grow a file past the limit; such a file is never written.
    if (text.size() > platform::kMaxProfileBytes)
        return;
    const platform::ProfileData again = platform::ProfileData::Parse(text);
    if (!(again == data))
        fuzz::Fail("a written profile reads back differently");
    if (again.Serialize() != text)
        fuzz::Fail("writing is not stable");
}

}  // namespace

int FuzzProfile(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::ProfileData profile = platform::ProfileData::Parse(bytes);
    for (const std::string& section : profile.SectionNames()) {
        if (!profile.HasSection(section))
            fuzz::Fail("a listed section is not found");
        for (const std::string& key : profile.KeyNames(section))
            if (!profile.Find(section, key))
                fuzz::Fail("a listed key is not found");
    }
    ExpectRoundTrip(profile);

    // A name and value taken from the input itself, as a child might type it.
    const std::string piece(bytes.substr(0, std::min<size_t>(size, 64)));
    const std::string name = piece.substr(0, piece.find('\0'));
    if (!name.empty()) {
        profile.Set(name, name, name);
        const std::string* value = profile.Find(name, name);
        if (!value || *value != name)
            fuzz::Fail("a value set is not found");
        ExpectRoundTrip(profile);
        profile.RemoveSection(name);
        if (profile.HasSection(name))
            fuzz::Fail("a removed section is still there");
        ExpectRoundTrip(profile);
    }
    return 0;
}

static void SeedProfile(fuzz::Seeds& seeds)
{
    using namespace std::string_literals;
    const std::string shapes[] = {
        "[]"s,
        "[]\nk=v\n[a]\n"s,
        "\xEF\xBB\xBF\xEF\xBB\xBFk=v"s,
        "k=v\n[a]\nx=1\n[A]\nX=2\n[%61]\nx=3"s,
        "[a\nb]\n=\n==\n =x\n[ ]\n[\t]\n"s,
        "%\n%%=%%%\n[%5d]\n%00=%00\n%zz=%g1\n"s,
        "[a]\0[b]\0k\0=\0v\0"s,
        ";c\n#c\n[s];c\nk=\"q\"\nm=<<<END\nline\nEND\n"s,
        "\r\r\n\n\r[x]\rk=v\r"s,
        std::string(4096, '['),
        std::string(4096, '%'),
        // As the program writes its own: the recent files and the settings.
        "[Recent File List]\nFile1=/home/child/house.brk\nFile2=/home/child/%25 car.brk\n"
        "[Settings]\nPreview=1\nKit=basic.bkt\n"s,
    };
    int n = 0;
    for (const std::string& text : shapes)
        seeds.Add("shape-" + std::to_string(n++), fuzz::Bytes(text.begin(), text.end()));
    // Short strings of the characters that matter to an INI line.
    const std::string alphabet = " []=;#%\r\n\t\"<aAzZ09fF"s + '\0' + "\xEF\xBB\xBF\x80\xFF";
    std::mt19937 random(20261210);
    for (int i = 0; i < 3000; ++i) {
        fuzz::Bytes input(random() % 48, ' ');
        for (auto& ch : input)
            ch = static_cast<unsigned char>(alphabet[random() % alphabet.size()]);
        seeds.Add("random-" + std::to_string(i), std::move(input));
    }
}

DIZADO_FUZZ_TARGET(profile, FuzzProfile, SeedProfile)
