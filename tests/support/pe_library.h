// Resource-only PE32+ libraries assembled in memory, shaped as a hostile file
// may shape them: as many sections as asked, and resources that share their
// bytes. Shared by the tests and the benchmarks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/types.h"

namespace pelib {

using Bytes = std::vector<unsigned char>;

inline void Put16(Bytes& b, size_t at, unsigned v)
{
    b.at(at) = static_cast<unsigned char>(v);
    b.at(at + 1) = static_cast<unsigned char>(v >> 8);
}

inline void Put32(Bytes& b, size_t at, DWORD v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

inline DWORD Get32(const Bytes& b, size_t at)
{
    return static_cast<DWORD>(b.at(at)) | static_cast<DWORD>(b.at(at + 1)) << 8 |
           static_cast<DWORD>(b.at(at + 2)) << 16 | static_cast<DWORD>(b.at(at + 3)) << 24;
}

// Where Build puts things.
constexpr size_t kOptionalHeaderSize = 240;
constexpr size_t kSectionTable = 0x40 + 4 + 20 + kOptionalHeaderSize;
constexpr size_t kSectionHeaderSize = 40;
constexpr DWORD kSectionSpacing = 0x1000;  // RVA step between the sections
constexpr DWORD kFillerSize = 0x200;

inline size_t SectionHeader(size_t index)
{
    return kSectionTable + kSectionHeaderSize * index;
}

class PeLibrary {
public:
    // Bytes that one or more resources hold.
    size_t AddData(Bytes data)
    {
        m_data.push_back(std::move(data));
        return m_data.size() - 1;
    }
    void Add(WORD type, WORD id, size_t data) { Add(Type{false, type, {}}, id, data); }
    void Add(const std::string& type, WORD id, size_t data) { Add(Type{true, 0, type}, id, data); }

    // `sections` sections (1 to 65,535): the resource section is the last in
    // the table and the highest in memory; the others lie below it and all
    // hold the same 512 bytes of zeros.
    Bytes Build(size_t sections = 1) const
    {
        const Bytes tree = Tree(static_cast<DWORD>(kSectionSpacing * sections));
        const size_t fillers = sections - 1;
        const size_t tableEnd = SectionHeader(sections);
        const size_t fillerOffset = Align(tableEnd, 0x200);
        const size_t treeOffset = fillerOffset + (fillers ? kFillerSize : 0);
        const size_t rawSize = Align(tree.size(), 0x200);
        Bytes out(treeOffset + rawSize, 0);

        out[0] = 'M';
        out[1] = 'Z';
        Put32(out, 0x3C, 0x40);
        out[0x40] = 'P';
        out[0x41] = 'E';
        const size_t file = 0x44;
        Put16(out, file, 0x8664);
        Put16(out, file + 2, static_cast<unsigned>(sections));
        Put16(out, file + 16, kOptionalHeaderSize);
        Put16(out, file + 18, 0x2022);  // executable, large addresses, library
        const size_t optional = file + 20;
        Put16(out, optional, 0x20B);
        Put32(out, optional + 108, 16);  // data directories
        const DWORD treeRva = static_cast<DWORD>(kSectionSpacing * sections);
        Put32(out, optional + 112 + 16, treeRva);
        Put32(out, optional + 112 + 20, static_cast<DWORD>(tree.size()));

        for (size_t i = 0; i < sections; ++i) {
            const size_t at = SectionHeader(i);
            const bool last = i + 1 == sections;
            const char* name = last ? ".rsrc" : ".fill";
            for (size_t c = 0; name[c]; ++c)
                out[at + c] = static_cast<unsigned char>(name[c]);
            Put32(out, at + 8, last ? static_cast<DWORD>(tree.size()) : kFillerSize);
            Put32(out, at + 12, static_cast<DWORD>(kSectionSpacing * (i + 1)));
            Put32(out, at + 16, last ? static_cast<DWORD>(rawSize) : kFillerSize);
            Put32(out, at + 20, static_cast<DWORD>(last ? treeOffset : fillerOffset));
            Put32(out, at + 36, 0x40000040);  // initialised data, readable
        }
        std::copy(tree.begin(), tree.end(), out.begin() + static_cast<long>(treeOffset));
        return out;
    }

private:
    struct Type {
        bool named = false;
        WORD id = 0;
        std::string name;
        bool operator==(const Type&) const = default;
    };
    struct Entry {
        WORD id;
        size_t data;
    };
    struct TypeEntries {
        Type type;
        std::vector<Entry> entries;
    };

    static size_t Align(size_t n, size_t to) { return (n + to - 1) / to * to; }

    void Add(const Type& type, WORD id, size_t data)
    {
        for (TypeEntries& known : m_types) {
            if (known.type == type) {
                known.entries.push_back({id, data});
                return;
            }
        }
        m_types.push_back({type, {{id, data}}});
    }

    // The directory, then the type names, then the data; offsets are from
    // the start of the section, which lies at `rva`.
    Bytes Tree(DWORD rva) const
    {
        std::vector<const TypeEntries*> order;  // named types come first
        for (const TypeEntries& t : m_types)
            if (t.type.named)
                order.push_back(&t);
        for (const TypeEntries& t : m_types)
            if (!t.type.named)
                order.push_back(&t);

        size_t entries = 0;
        for (const TypeEntries* t : order)
            entries += t->entries.size();
        const size_t nameTables = 16 + 8 * order.size();
        size_t languageTables = nameTables;
        for (const TypeEntries* t : order)
            languageTables += 16 + 8 * t->entries.size();
        const size_t dataEntries = languageTables + 24 * entries;
        size_t names = dataEntries + 16 * entries;
        std::vector<size_t> nameAt;
        size_t end = names;
        for (const TypeEntries* t : order) {
            nameAt.push_back(end);
            if (t->type.named)
                end += 2 + 2 * t->type.name.size();
        }
        std::vector<size_t> dataAt;
        end = Align(end, 4);
        for (const Bytes& data : m_data) {
            dataAt.push_back(end);
            end = Align(end + data.size(), 4);
        }

        Bytes out(end, 0);
        size_t named = 0;
        for (const TypeEntries* t : order)
            named += t->type.named;
        Put16(out, 12, static_cast<unsigned>(named));
        Put16(out, 14, static_cast<unsigned>(order.size() - named));
        size_t nameTable = nameTables;
        size_t languageTable = languageTables;
        size_t dataEntry = dataEntries;
        for (size_t t = 0; t < order.size(); ++t) {
            const Type& type = order[t]->type;
            const size_t at = 16 + 8 * t;
            if (type.named) {
                Put32(out, at, 0x80000000u | static_cast<DWORD>(nameAt[t]));
                Put16(out, nameAt[t], static_cast<unsigned>(type.name.size()));
                for (size_t c = 0; c < type.name.size(); ++c)
                    Put16(out, nameAt[t] + 2 + 2 * c, static_cast<unsigned char>(type.name[c]));
            } else {
                Put32(out, at, type.id);
            }
            Put32(out, at + 4, 0x80000000u | static_cast<DWORD>(nameTable));
            const std::vector<Entry>& list = order[t]->entries;
            Put16(out, nameTable + 14, static_cast<unsigned>(list.size()));
            for (size_t e = 0; e < list.size(); ++e) {
                Put32(out, nameTable + 16 + 8 * e, list[e].id);
                Put32(out, nameTable + 16 + 8 * e + 4, 0x80000000u | static_cast<DWORD>(languageTable));
                Put16(out, languageTable + 14, 1);
                Put32(out, languageTable + 16, 0x409);
                Put32(out, languageTable + 20, static_cast<DWORD>(dataEntry));
                Put32(out, dataEntry, rva + static_cast<DWORD>(dataAt[list[e].data]));
                Put32(out, dataEntry + 4, static_cast<DWORD>(m_data[list[e].data].size()));
                languageTable += 24;
                dataEntry += 16;
            }
            nameTable += 16 + 8 * list.size();
        }
        for (size_t d = 0; d < m_data.size(); ++d)
            std::copy(m_data[d].begin(), m_data[d].end(), out.begin() + static_cast<long>(dataAt[d]));
        return out;
    }

    std::vector<Bytes> m_data;
    std::vector<TypeEntries> m_types;
};

}  // namespace pelib
