// What the fuzz targets share: the fixtures their seeds come from, a quiet
// headless environment, a scratch folder and a reader that splits one input
// into the pieces a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/hooks.h"
#include "platform/core/resources.h"
#include "tests/fuzz/fuzz_target.h"

namespace fuzz {

// A file of the built test data (tests/fixtures), or the program's compiled
// resources; empty when missing.
Bytes TestData(const std::string& name);
Bytes ProgramResourceImage();
// One resource of the program's own (embedded) resources, named or
// MAKEINTRESOURCE(id); empty when missing.
Bytes ProgramResource(const char* type, const char* name);

Bytes ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const void* data, size_t size);
// A path in a folder of this process, removed when it ends.
std::string ScratchPath(const std::string& name);

// Reads every byte, so that the sanitizers see a range that leaves its buffer.
void Touch(const void* data, size_t size);

// Looks up what the program looks up in a module (strings, kit classes and
// their records, pictures, masks, sounds, labels) and reads every byte found.
void ReadModule(HMODULE module);

// A finding that is no crash of its own (an oracle that failed): reported and
// aborted, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what);

// No message box, beep or key held for as long as it lives.
class QuietHooks {
public:
    QuietHooks();
    ~QuietHooks();
    QuietHooks(const QuietHooks&) = delete;
    QuietHooks& operator=(const QuietHooks&) = delete;

private:
    platform::MessageBoxHook m_box;
    platform::BeepHook m_beep;
    platform::KeyStateHook m_keys;
};

// Takes an input apart; past its end every read answers zeros.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool AtEnd() const { return m_at >= m_size; }
    size_t Left() const { return m_at < m_size ? m_size - m_at : 0; }
    uint8_t Byte();
    uint16_t Word();
    // Up to `count` bytes, fewer at the end.
    Bytes Take(size_t count);
    Bytes Rest() { return Take(Left()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

}  // namespace fuzz
