#include "platform/core/clipboard.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/core/cstring.h"

namespace platform {

MemoryClipboard::~MemoryClipboard()
{
    Empty();
}

void MemoryClipboard::Empty()
{
    for (auto& [format, block] : m_blocks)
        GlobalFree(block);
    m_blocks.clear();
}

bool MemoryClipboard::IsFormatAvailable(UINT format)
{
    return m_blocks.count(format) != 0;
}

bool MemoryClipboard::SetData(UINT format, HGLOBAL data)
{
    if (!data || format == 0)
        return false;
    // One block under two formats would be freed twice.
    for (const auto& [held, block] : m_blocks)
        if (block == data && held != format)
            return false;
    HGLOBAL& slot = m_blocks[format];
    if (slot && slot != data)
        GlobalFree(slot);
    slot = data;
    return true;
}

HGLOBAL MemoryClipboard::GetData(UINT format)
{
    auto found = m_blocks.find(format);
    return found == m_blocks.end() ? nullptr : found->second;
}

namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr UINT kLastRegisteredFormat = 0xFFFF;
constexpr size_t kMaxFormatName = 255;

struct FormatRegistry {
    std::mutex mutex;
    std::vector<std::string> names;  // index = id - kFirstRegisteredFormat
};

FormatRegistry& Formats()
{
    static FormatRegistry registry;
    return registry;
}

struct ClipboardState {
    // The memory registry must outlive the built-in clipboard's blocks, so it
    // is made first and so destroyed last.
    ClipboardState() { GlobalBlocksAlive(); }

    MemoryClipboard builtIn;
    IClipboard* installed = nullptr;
    bool open = false;

    IClipboard& Current() { return installed ? *installed : builtIn; }
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

}  // namespace

IClipboard* SetClipboard(IClipboard* clipboard)
{
    ClipboardState& state = State();
    if (state.open) {
        state.Current().Close();
        state.open = false;
    }
    IClipboard* previous = state.installed;
    state.installed = clipboard;
    return previous;
}

std::string ClipboardFormatName(UINT format)
{
    FormatRegistry& registry = Formats();
    std::lock_guard lock(registry.mutex);
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= registry.names.size())
        return {};
    return registry.names[format - kFirstRegisteredFormat];
}

}  // namespace platform

UINT RegisterClipboardFormatA(const char* name)
{
    if (!name || !*name)
        return 0;
    const std::string wanted(name);
    if (wanted.size() > platform::kMaxFormatName)
        return 0;
    platform::FormatRegistry& registry = platform::Formats();
    std::lock_guard lock(registry.mutex);
    for (size_t i = 0; i < registry.names.size(); ++i)
        if (CompareNoCase(registry.names[i], wanted) == 0)
            return platform::kFirstRegisteredFormat + static_cast<UINT>(i);
    if (registry.names.size() > platform::kLastRegisteredFormat - platform::kFirstRegisteredFormat)
        return 0;
    registry.names.push_back(wanted);
    return platform::kFirstRegisteredFormat + static_cast<UINT>(registry.names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, char* name, int maxCount)
{
    const std::string registered = platform::ClipboardFormatName(format);
    if (registered.empty() || !name || maxCount <= 0)
        return 0;
    const size_t length = std::min(registered.size(), static_cast<size_t>(maxCount - 1));
    registered.copy(name, length);
    name[length] = '\0';
    return static_cast<int>(length);
}

BOOL OpenClipboard(void* owner)
{
    platform::ClipboardState& state = platform::State();
    if (state.open || !state.Current().Open(owner))
        return FALSE;
    state.open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    platform::ClipboardState& state = platform::State();
    if (!state.open)
        return FALSE;
    state.open = false;
    state.Current().Close();
    return TRUE;
}

BOOL EmptyClipboard()
{
    platform::ClipboardState& state = platform::State();
    if (!state.open)
        return FALSE;
    state.Current().Empty();
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    return format != 0 && platform::State().Current().IsFormatAvailable(format);
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data)
{
    platform::ClipboardState& state = platform::State();
    if (!state.open || !data || format == 0)
        return nullptr;
    return state.Current().SetData(format, data) ? data : nullptr;
}

HGLOBAL GetClipboardData(UINT format)
{
    platform::ClipboardState& state = platform::State();
    if (!state.open || format == 0)
        return nullptr;
    return state.Current().GetData(format);
}
