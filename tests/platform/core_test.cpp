#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/core/archive.h"
#include "platform/core/cmd_target.h"
#include "platform/core/cstring.h"
#include "platform/core/file.h"
#include "platform/core/global_memory.h"
#include "platform/core/hooks.h"

namespace {

TEST(GlobalMemory, HandlesSurviveReallocationAndFindTheirBlock)
{
    const size_t before = platform::GlobalBlocksAlive();
    HGLOBAL block = GlobalAlloc(GHND, 4);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4), std::vector<unsigned char>(4, 0));
    std::memcpy(bytes, "abcd", 4);
    EXPECT_EQ(GlobalHandle(bytes), block);
    GlobalUnlock(block);

    EXPECT_EQ(GlobalReAlloc(block, 8, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
    EXPECT_EQ(GlobalSize(block), 8u);
    bytes = static_cast<unsigned char*>(GlobalLock(block));
    EXPECT_EQ(std::memcmp(bytes, "abcd\0\0\0\0", 8), 0);
    EXPECT_EQ(GlobalHandle(bytes), block);
    EXPECT_EQ(GlobalHandle(bytes + 1), nullptr);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(platform::GlobalBlocksAlive(), before);

    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(nullptr), 0u);
}

TEST(CStringTest, MembersTheProgramUses)
{
    CString path("C:\\Users\\Ann\\model.01.brk");
    EXPECT_EQ(path.ReverseFind('\\'), 12);
    EXPECT_EQ(path.Mid(13), CString("model.01.brk"));
    EXPECT_EQ(path.Mid(13).Find('.'), 5);
    EXPECT_EQ(path.Left(2), CString("C:"));
    EXPECT_EQ(path.Right(3), CString("brk"));
    EXPECT_EQ(path.Mid(100), CString(""));
    EXPECT_EQ(path.Left(-3), CString(""));
    EXPECT_EQ(path.GetAt(1000), '\0');
    EXPECT_EQ(CString("KITS").CompareNoCase("kits"), 0);
    EXPECT_LT(CString("a").CompareNoCase("B"), 0);
    CString formatted;
    formatted.Format("name%03d", 7);
    EXPECT_EQ(formatted, "name007");
    CString buffer;
    std::strcpy(buffer.GetBuffer(16), "abc");
    buffer.ReleaseBuffer();
    EXPECT_EQ(buffer.GetLength(), 3);
}

TEST(Hooks, MessageBoxBeepAndKeysGoThroughTheirHooks)
{
    std::vector<std::string> boxes;
    auto oldBox = platform::SetMessageBoxHook([&](const std::string& text, const std::string&, UINT) {
        boxes.push_back(text);
        return IDNO;
    });
    int beeps = 0;
    auto oldBeep = platform::SetBeepHook([&](UINT) { ++beeps; });
    auto oldKeys = platform::SetKeyStateHook([](int key) -> SHORT { return key == VK_SHIFT ? SHORT(-128) : 0; });

    EXPECT_EQ(AfxMessageBox("overflow", MB_YESNO), IDNO);
    MessageBeep(0);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"overflow"});
    EXPECT_EQ(beeps, 1);

    platform::SetMessageBoxHook(oldBox);
    platform::SetBeepHook(oldBeep);
    platform::SetKeyStateHook(oldKeys);
}

// A small serializable class for object records.
class CSample : public CObject {
    DECLARE_SERIAL(CSample)
public:
    LONG value = 0;
    CSample* next = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << value;
            ar.WriteObject(next);
        } else {
            ar >> value;
            next = static_cast<CSample*>(ar.ReadObject(RUNTIME_CLASS(CSample)));
        }
    }
};
IMPLEMENT_SERIAL(CSample, CObject, 3)

TEST(Hooks, ABoxNoOneCanSeeGoesToTheCallerAndAnswersCautiously)
{
    std::vector<std::string> shown;
    std::vector<std::string> told;
    auto oldBox = platform::SetMessageBoxHook([&](const std::string& text, const std::string&, UINT) {
        shown.push_back(text);
        return IDYES;
    });
    auto oldCaller = platform::SetCallerMessageHook([&](const std::string& text) { told.push_back(text); });
    bool onScreen = false;
    auto oldScreen = platform::SetWindowOnScreenHook([&] { return onScreen; });
    const struct {
        UINT type;
        int answer;
    } cases[] = {{MB_OK, IDOK}, {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL}};
    for (const auto& entry : cases)
        EXPECT_EQ(AfxMessageBox("unseen", entry.type), entry.answer) << entry.type;
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(told, std::vector<std::string>(std::size(cases), "unseen"));

    // A window on the screen: the box is shown and waits for its answer.
    onScreen = true;
    EXPECT_EQ(AfxMessageBox("seen", MB_YESNO), IDYES);
    EXPECT_EQ(shown, std::vector<std::string>{"seen"});
    EXPECT_EQ(told.size(), std::size(cases));

    // No caller: shown as always.
    onScreen = false;
    platform::SetCallerMessageHook(nullptr);
    EXPECT_EQ(AfxMessageBox("nobody called", MB_OK), IDYES);
    EXPECT_EQ(shown.back(), "nobody called");

    platform::SetWindowOnScreenHook(oldScreen);
    platform::SetCallerMessageHook(oldCaller);
    platform::SetMessageBoxHook(oldBox);
}

TEST(Archive, NumbersAreLittleEndianAndRoundTrip)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<BYTE>(0x11) << static_cast<WORD>(0x2233) << static_cast<SHORT>(-2)
           << static_cast<DWORD>(0x44556677) << static_cast<LONG>(-1);
        ar.Close();
    }
    EXPECT_EQ(file.GetData(), (std::vector<unsigned char>{0x11, 0x33, 0x22, 0xFE, 0xFF, 0x77, 0x66, 0x55, 0x44, 0xFF,
                                                          0xFF, 0xFF, 0xFF}));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    BYTE b;
    WORD w;
    SHORT s;
    DWORD d;
    LONG l;
    ar >> b >> w >> s >> d >> l;
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(w, 0x2233);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(d, 0x44556677u);
    EXPECT_EQ(l, -1);
    EXPECT_THROW(ar >> b, CArchiveException);  // past the end
}

TEST(Archive, ObjectsAreRecreatedByClassAndSharedOnce)
{
    CSample tail;
    tail.value = 2;
    CSample head;
    head.value = 1;
    head.next = &tail;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&head);
        ar.WriteObject(&tail);  // already written: a reference only
        ar.WriteObject(nullptr);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    auto* head2 = static_cast<CSample*>(ar.ReadObject(RUNTIME_CLASS(CSample)));
    auto* tail2 = static_cast<CSample*>(ar.ReadObject(RUNTIME_CLASS(CSample)));
    EXPECT_EQ(ar.ReadObject(nullptr), nullptr);
    ASSERT_NE(head2, nullptr);
    EXPECT_EQ(head2->value, 1);
    EXPECT_EQ(head2->next, tail2);
    EXPECT_EQ(tail2->value, 2);
    EXPECT_TRUE(head2->IsKindOf(RUNTIME_CLASS(CSample)));
    delete head2;
    delete tail2;
}

TEST(Archive, DamagedObjectRecordsRaiseTheArchiveException)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        int cause;
    };
    const Case cases[] = {
        {"unknown class", {0xFF, 0xFF, 3, 0, 4, 0, 'N', 'o', 'p', 'e'}, CArchiveException::badClass},
        {"wrong schema", {0xFF, 0xFF, 9, 0, 7, 0, 'C', 'S', 'a', 'm', 'p', 'l', 'e'}, CArchiveException::badSchema},
        {"huge name", {0xFF, 0xFF, 3, 0, 0xFF, 0x7F, 'C'}, CArchiveException::badClass},
        {"cut name", {0xFF, 0xFF, 3, 0, 7, 0, 'C', 'S'}, CArchiveException::endOfFile},
        {"reference to nothing", {0x05, 0x00}, CArchiveException::badIndex},
        {"class reference to nothing", {0x01, 0x80}, CArchiveException::badIndex},
        {"cut object", {0xFF, 0xFF, 3, 0, 7, 0, 'C', 'S', 'a', 'm', 'p', 'l', 'e', 1, 0}, CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMemFile file(c.bytes.data(), c.bytes.size());
        CArchive ar(&file, CArchive::load);
        try {
            ar.ReadObject(RUNTIME_CLASS(CSample));
            ADD_FAILURE() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause);
        }
    }
}

TEST(Files, DiskFileWritesReadsAndReportsMissingFiles)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("dizado-file-" + std::to_string(::getpid()))).string();
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        file.Write("hello", 5);
        file.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(file.GetLength(), 5u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "hello");
    file.Close();
    std::filesystem::remove(path);

    CFileException error;
    CFile missing;
    EXPECT_FALSE(missing.Open((path + ".none").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_THROW(CFile((path + ".none").c_str(), CFile::modeRead), CFileException);
}

TEST(Files, MemoryFileSeeksAndGrows)
{
    CMemFile file(1024);
    file.Write("abcdef", 6);
    EXPECT_EQ(file.Seek(2, CFile::begin), 2);
    char two[2];
    EXPECT_EQ(file.Read(two, 2), 2u);
    EXPECT_EQ(std::string(two, 2), "cd");
    file.Seek(0, CFile::end);
    file.Write("g", 1);
    EXPECT_EQ(file.GetLength(), 7u);
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
    file.SeekToBegin();
    char all[16];
    EXPECT_EQ(file.Read(all, sizeof all), 7u);
}

TEST(CmdTarget, LastReleaseDeletesTheObject)
{
    static int finalReleases = 0;
    struct Counted : CCmdTarget {
        void OnFinalRelease() override
        {
            ++finalReleases;
            CCmdTarget::OnFinalRelease();
        }
    };
    auto* target = new Counted;
    EXPECT_EQ(target->InternalAddRef(), 2u);
    EXPECT_EQ(target->InternalRelease(), 1u);
    EXPECT_EQ(target->InternalRelease(), 0u);
    EXPECT_EQ(finalReleases, 1);
}

}  // namespace
