#include "platform/ui/res_templates.h"


namespace platform {

namespace {

constexpr DWORD DS_SETFONT_BIT = 0x40;
constexpr WORD MF_POPUP_BIT = 0x0010;
constexpr WORD MF_END_BIT = 0x0080;
constexpr BYTE ACCEL_LAST = 0x80;
// Deeper menus than this are taken for damage: the reader recurses.
constexpr int kMaxMenuDepth = 16;

// A cursor over the resource's bytes that refuses to step past the end.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Word(WORD& value)
    {
        if (!Has(2))
            return false;
        value = static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool Short(SHORT& value)
    {
        WORD w = 0;
        if (!Word(w))
            return false;
        value = static_cast<SHORT>(w);
        return true;
    }
    bool Dword(DWORD& value)
    {
        WORD lo = 0, hi = 0;
        if (!Word(lo) || !Word(hi))
            return false;
        value = MAKELONG(lo, hi);
        return true;
    }
    bool Skip(size_t bytes)
    {
        if (!Has(bytes))
            return false;
        m_pos += bytes;
        return true;
    }
    // To the next multiple of four from the resource's start; the end of the
    // data counts as aligned, as the last item's padding may be cut off.
    void AlignDword()
    {
        const size_t aligned = (m_pos + 3) & ~static_cast<size_t>(3);
        m_pos = aligned <= m_size ? aligned : m_size;
    }
    // A zero-terminated UTF-16 string, turned into UTF-8.
    bool String(std::string& out)
    {
        out.clear();
        for (;;) {
            WORD unit = 0;
            if (!Word(unit))
                return false;
            if (unit == 0)
                return true;
            DWORD code = unit;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                WORD low = 0;
                if (Has(2) && PeekWord(low) && low >= 0xDC00 && low <= 0xDFFF) {
                    m_pos += 2;
                    code = 0x10000 + ((static_cast<DWORD>(unit) - 0xD800) << 10) + (low - 0xDC00);
                } else {
                    code = 0xFFFD;
                }
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                code = 0xFFFD;
            }
            AppendUtf8(out, code);
        }
    }
    bool NameOrOrd(NameOrOrdinal& out)
    {
        out = NameOrOrdinal{};
        WORD first = 0;
        if (!PeekWord(first))
            return false;
        if (first == 0xFFFF) {
            m_pos += 2;
            out.isOrdinal = true;
            return Word(out.ordinal);
        }
        return String(out.name);
    }
    bool AtEnd() const { return m_pos >= m_size; }

private:
    bool Has(size_t bytes) const { return bytes <= m_size && m_pos <= m_size - bytes; }
    bool PeekWord(WORD& value) const
    {
        if (!Has(2))
            return false;
        value = static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        return true;
    }
    static void AppendUtf8(std::string& out, DWORD code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

bool ParseDialog(Reader& in, DialogTemplate& out)
{
    WORD first = 0, second = 0;
    {
        Reader peek = in;
        if (!peek.Word(first) || !peek.Word(second))
            return false;
    }
    WORD count = 0;
    if (first == 1 && second == 0xFFFF) {
        out.extended = true;
        DWORD helpId = 0;
        if (!in.Skip(4) || !in.Dword(helpId) || !in.Dword(out.exStyle) || !in.Dword(out.style))
            return false;
    } else if (!in.Dword(out.style) || !in.Dword(out.exStyle)) {
        return false;
    }
    if (!in.Word(count) || !in.Short(out.x) || !in.Short(out.y) || !in.Short(out.cx) || !in.Short(out.cy))
        return false;
    if (!in.NameOrOrd(out.menu) || !in.NameOrOrd(out.windowClass) || !in.String(out.title))
        return false;
    if (out.style & DS_SETFONT_BIT) {
        if (!in.Word(out.pointSize))
            return false;
        if (out.extended && !in.Skip(4))  // weight, italic, character set
            return false;
        if (!in.String(out.typeface))
            return false;
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        DialogItemTemplate item;
        if (out.extended) {
            DWORD helpId = 0;
            if (!in.Dword(helpId) || !in.Dword(item.exStyle) || !in.Dword(item.style))
                return false;
        } else if (!in.Dword(item.style) || !in.Dword(item.exStyle)) {
            return false;
        }
        if (!in.Short(item.x) || !in.Short(item.y) || !in.Short(item.cx) || !in.Short(item.cy))
            return false;
        if (out.extended) {
            if (!in.Dword(item.id))
                return false;
        } else {
            WORD id = 0;
            if (!in.Word(id))
                return false;
            item.id = id;
        }
        WORD extra = 0;
        if (!in.NameOrOrd(item.windowClass) || !in.NameOrOrd(item.text) || !in.Word(extra) || !in.Skip(extra))
            return false;
        out.items.push_back(std::move(item));
    }
    return true;
}

bool ParseMenuItems(Reader& in, std::vector<MenuItemTemplate>& out, int depth)
{
    if (depth > kMaxMenuDepth)
        return false;
    for (;;) {
        MenuItemTemplate item;
        WORD flags = 0;
        if (!in.Word(flags))
            return false;
        item.flags = static_cast<WORD>(flags & ~MF_END_BIT);
        if (!(flags & MF_POPUP_BIT) && !in.Word(item.id))
            return false;
        if (!in.String(item.text))
            return false;
        if ((flags & MF_POPUP_BIT) && !ParseMenuItems(in, item.children, depth + 1))
            return false;
        out.push_back(std::move(item));
        if (flags & MF_END_BIT)
            return true;
    }
}

}  // namespace

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate& out)
{
    out = DialogTemplate{};
    Reader in(data, size);
    if (!data || !ParseDialog(in, out)) {
        out = DialogTemplate{};
        return false;
    }
    return true;
}

bool ParseMenuTemplate(const uint8_t* data, size_t size, std::vector<MenuItemTemplate>& out)
{
    out.clear();
    if (!data)
        return false;
    Reader in(data, size);
    WORD version = 0, offset = 0;
    if (!in.Word(version) || !in.Word(offset) || version != 0 || !in.Skip(offset)) {
        return false;
    }
    // A menu with no items at all is stored as just its header.
    if (in.AtEnd())
        return true;
    if (!ParseMenuItems(in, out, 0)) {
        out.clear();
        return false;
    }
    return true;
}

bool ParseAcceleratorTable(const uint8_t* data, size_t size, std::vector<AcceleratorEntry>& out)
{
    out.clear();
    if (!data)
        return false;
    Reader in(data, size);
    for (;;) {
        WORD flags = 0, key = 0, command = 0, padding = 0;
        if (!in.Word(flags) || !in.Word(key) || !in.Word(command) || !in.Word(padding)) {
            out.clear();
            return false;
        }
        out.push_back(AcceleratorEntry{static_cast<BYTE>(flags & 0x7F), key, command});
        if (flags & ACCEL_LAST)
            return true;
    }
}

namespace {

HMODULE& TemplateModuleSlot()
{
    static HMODULE module = nullptr;
    return module;
}

}  // namespace

HMODULE SetTemplateModule(HMODULE module)
{
    HMODULE previous = TemplateModuleSlot();
    TemplateModuleSlot() = module;
    return previous;
}

HMODULE TemplateModule()
{
    return TemplateModuleSlot() ? TemplateModuleSlot() : AfxGetResourceHandle();
}

std::vector<uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type)
{
    if (!module)
        module = TemplateModule();
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return {};
    HGLOBAL handle = LoadResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(handle));
    const DWORD size = SizeofResource(module, found);
    std::vector<uint8_t> copy;
    if (bytes)
        copy.assign(bytes, bytes + size);
    FreeResource(handle);
    return copy;
}

}  // namespace platform
