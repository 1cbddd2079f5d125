// The profile reader on untrusted bytes. FuzzProfile is a fuzz target body:
// whatever the bytes, reading never fails, and what is read is written and
// read back unchanged, so a write never alters what it did not touch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/profile.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "profile fuzz: %s\n", what);
    std::abort();
}

void ExpectRoundTrip(const platform::ProfileData& data)
{
    const std::string text = data.Serialize();
    // Escaping may grow a file past the limit; such a file is never written.
    if (text.size() > platform::kMaxProfileBytes)
        return;
    const platform::ProfileData again = platform::ProfileData::Parse(text);
    if (!(again == data))
        Fail("a written profile reads back differently");
    if (again.Serialize() != text)
        Fail("writing is not stable");
}

}  // namespace

int FuzzProfile(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::ProfileData profile = platform::ProfileData::Parse(bytes);
    for (const std::string& section : profile.SectionNames()) {
        if (!profile.HasSection(section))
            Fail("a listed section is not found");
        for (const std::string& key : profile.KeyNames(section))
            if (!profile.Find(section, key))
                Fail("a listed key is not found");
    }
    ExpectRoundTrip(profile);

    // A name and value taken from the input itself, as a child might type it.
    const std::string piece(bytes.substr(0, std::min<size_t>(size, 64)));
    const std::string name = piece.substr(0, piece.find('\0'));
    if (!name.empty()) {
        profile.Set(name, name, name);
        const std::string* value = profile.Find(name, name);
        if (!value || *value != name)
            Fail("a value set is not found");
        ExpectRoundTrip(profile);
        profile.RemoveSection(name);
        if (profile.HasSection(name))
            Fail("a removed section is still there");
        ExpectRoundTrip(profile);
    }
    return 0;
}

namespace {

TEST(ProfileFuzz, HostileBytesReadWithoutHarmAndWriteBackUnchanged)
{
    using namespace std::string_literals;
    std::vector<std::string> inputs = {
        ""s,
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
    };
    // Short strings of the characters that matter to an INI line.
    const std::string alphabet = " []=;#%\r\n\t\"<aAzZ09fF"s + '\0' + "\xEF\xBB\xBF\x80\xFF";
    std::mt19937 random(20261210);
    for (int i = 0; i < 3000; ++i) {
        std::string input(random() % 48, ' ');
        for (char& ch : input)
            ch = alphabet[random() % alphabet.size()];
        inputs.push_back(input);
    }
    for (const std::string& input : inputs)
        FuzzProfile(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

}  // namespace
