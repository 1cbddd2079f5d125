// The fixture of the document tests: a document with a recording pane, a
// shell that records what the document asks of the kid frame, message boxes
// and key state caught, a private folder for files, and the in-memory
// clipboard.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "foundation/notification_codes.h"
#include "foundation/notifier.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/archive.h"
#include "platform/core/clipboard.h"
#include "platform/core/cmd_ui.h"
#include "platform/core/file.h"
#include "platform/core/hooks.h"

namespace doctest {

using Bytes = std::vector<unsigned char>;

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Be32(DWORD value)
{
    return {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
            static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
}

inline Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// One chunk: tag, big-endian length, data.
inline Bytes Chunk(const std::string& tag, const Bytes& data)
{
    return Text(tag) + Be32(static_cast<DWORD>(data.size())) + data;
}

// A block preceded by its big-endian length.
inline Bytes Block(const Bytes& chunks)
{
    return Be32(static_cast<DWORD>(chunks.size())) + chunks;
}

inline Bytes GroupHead(DWORD bricks, DWORD groups)
{
    return Block(Chunk("bcnt", Be32(bricks)) + Chunk("gcnt", Be32(groups)));
}

struct BrickFields {
    LONG classId = IDC_BUILTIN_CLASS;
    LONG pose = 0;
    LONG orientation = 0;
    LONG colour = 0;
    BOOL visible = TRUE;
    BOOL selectable = TRUE;
    BOOL moveable = TRUE;
    BOOL colorable = TRUE;
    SHORT x = 0, y = 0, z = 0;
    BOOL selected = FALSE;
};

inline Bytes BrickRecord(const BrickFields& f)
{
    Bytes position;
    for (SHORT v : {f.x, f.y, f.z}) {
        position.push_back(static_cast<unsigned char>((static_cast<WORD>(v) >> 8) & 0xFF));
        position.push_back(static_cast<unsigned char>(static_cast<WORD>(v) & 0xFF));
    }
    return Block(Chunk("ptyp", Be32(static_cast<DWORD>(f.classId))) + Chunk("pose", Be32(static_cast<DWORD>(f.pose))) +
                 Chunk("angl", Be32(static_cast<DWORD>(f.orientation))) +
                 Chunk("colr", Be32(static_cast<DWORD>(f.colour))) + Chunk("pvis", Be32(f.visible)) +
                 Chunk("sble", Be32(f.selectable)) + Chunk("mble", Be32(f.moveable)) +
                 Chunk("cble", Be32(f.colorable)) + Chunk("ppos", position) + Chunk("selc", Be32(f.selected)));
}

struct Settings {
    BOOL multiview = FALSE;
    BOOL baseplate = TRUE;
    BOOL tiled = FALSE;
    BYTE red = 0, green = 0, blue = 0;
    WORD sizeX = 2, sizeY = 2;
    std::string path;
};

inline Bytes SettingsChunks(const Settings& s)
{
    const Bytes colour = {s.red, s.red, s.green, s.green, s.blue, s.blue};
    const Bytes size = {static_cast<unsigned char>(s.sizeX >> 8), static_cast<unsigned char>(s.sizeX & 0xFF), 0, 0,
                        static_cast<unsigned char>(s.sizeY >> 8), static_cast<unsigned char>(s.sizeY & 0xFF), 0, 0};
    return Chunk("vers", Be32(1)) + Chunk("rev ", Be32(0)) + Chunk("mvew", Be32(s.multiview)) +
           Chunk("bpv?", Be32(s.baseplate)) + Chunk("btil", Be32(s.tiled)) + Chunk("brgb", colour) +
           Chunk("bsiz", size) + Chunk("wpth", Text(s.path) + Bytes{0});
}

inline Bytes FileHead(const Bytes& settingsChunks)
{
    return Text("VOSTBRK#") + Block(settingsChunks);
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Records what the document sends, and the balance of the pane holds.
class Pane : public CNotifier {
public:
    void OnNotify(UINT senderId, UINT code, LPARAM data) override
    {
        codes.push_back(code);
        senders.push_back(senderId);
        if ((code == NOTIFY_HOLD_REBUILD || code == NOTIFY_HOLD_EXTENT) && data) {
            const BOOL release = *reinterpret_cast<const BOOL*>(data);
            int& open = code == NOTIFY_HOLD_REBUILD ? rebuildOpen : extentOpen;
            open += release ? -1 : 1;
        }
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (UINT c : codes)
            n += c == code ? 1 : 0;
        return n;
    }
    void Clear() { codes.clear(), senders.clear(); }

    std::vector<UINT> codes;
    std::vector<UINT> senders;
    int rebuildOpen = 0;
    int extentOpen = 0;
};

class TestShell : public CHeadlessDocumentShell {
public:
    BOOL HasKidFrame() override { return kidFrame; }
    void CheckButtonRange(UINT first, UINT last, UINT id) override
    {
        checked.push_back({first, last, id});
    }
    int OnBrickListSelect() override { return listAnswer; }
    BOOL ChooseBackground(void*, BackgroundChoice&) override { return FALSE; }
    void BeginWaitCursor() override
    {
        if (failNextWait) {
            failNextWait = FALSE;
            AfxThrowFileException(CFileException::diskFull);
        }
        ++waitDepth;
    }
    void EndWaitCursor() override { --waitDepth; }

    struct Check {
        UINT first, last, id;
    };
    BOOL kidFrame = TRUE;
    int listAnswer = -1;
    std::vector<Check> checked;
    int waitDepth = 0;
    BOOL failNextWait = FALSE;
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '-';
        folder = std::filesystem::temp_directory_path() / ("dizado-doc-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        shell.SetFolders(folder.string().c_str(), "");
        SetDocumentShell(&shell);
        m_oldBox = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            messages.push_back(text);
            return IDOK;
        });
        m_oldKeys = platform::SetKeyStateHook([this](int key) -> SHORT {
            return (key == VK_SHIFT && shift) || (key == VK_CONTROL && ctrl) ? SHORT(-128) : SHORT(0);
        });
        platform::SetClipboard(&clipboard);
        doc = std::make_unique<CDizadoDoc>();
        doc->AddListener(&pane);
        doc->GetBrickList()->AddListener(&pane);
    }

    void TearDown() override
    {
        doc.reset();
        platform::SetClipboard(nullptr);
        platform::SetKeyStateHook(m_oldKeys);
        platform::SetMessageBoxHook(m_oldBox);
        SetDocumentShell(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

public:
    CBrickGroup* Root() { return doc->GetBrickList(); }

    CBrick* MakeAt(CBrickGroup* group, int x, int y, int z, LONG colour = 0)
    {
        return CBrick::Make(group, CPoint3D(x, y, z), IDC_BUILTIN_CLASS, colour, 0, 0);
    }

    CBrickGroup* SubGroup(CBrickGroup* parent)
    {
        auto* group = new CBrickGroup;
        group->SetParent(parent);
        return group;
    }

protected:
    // What Serialize writes, without a file on disk.
    Bytes Written()
    {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        doc->Serialize(ar);
        ar.Close();
        return file.GetData();
    }

    std::string PathOf(const char* name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    TestShell shell;
    platform::MemoryClipboard clipboard;
    std::unique_ptr<CDizadoDoc> doc;
    Pane pane;
    std::vector<std::string> messages;
    bool shift = false;
    bool ctrl = false;

private:
    platform::MessageBoxHook m_oldBox;
    platform::KeyStateHook m_oldKeys;
};

}  // namespace doctest
