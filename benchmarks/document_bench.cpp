// Saving and opening a model of 10,000 bricks in 200 groups: the file format
// alone (to and from memory) and the whole step on disk, with the temporary
// file, its sync and the rename. The preview is not part of it. The bricks
// are of the class built into the program, read from its own resources.
// Opening is read beside a reference in the same run: the same file read from
// disk and walked record by record, with nothing made of it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace {

constexpr int kSide = 100;

// One group per row, each holding a sub-group with half the row.
void BuildModel(CDizadoDoc& doc)
{
    CBrickGroup* root = doc.GetBrickList();
    for (int y = 0; y < kSide; ++y) {
        auto* row = new CBrickGroup;
        row->SetParent(root);
        auto* half = new CBrickGroup;
        half->SetParent(row);
        for (int x = 0; x < kSide; ++x)
            CBrick::Make(x < kSide / 2 ? row : half, CPoint3D(x, y, 0), IDC_BUILTIN_CLASS, (x + y) % 12, 0, 0);
    }
}

std::vector<unsigned char> Store(CDizadoDoc& doc)
{
    CMemFile file(64 * 1024);
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
    return file.Detach();
}

class Folder {
public:
    Folder() : m_path(std::filesystem::temp_directory_path() / ("dizado-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string File(const char* name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

void BM_StoreToMemory(benchmark::State& state)
{
    CDizadoDoc doc;
    BuildModel(doc);
    size_t bytes = 0;
    for (auto _ : state) {
        const auto data = Store(doc);
        bytes = data.size();
        benchmark::DoNotOptimize(data.data());
    }
    state.counters["file bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_StoreToMemory)->Unit(benchmark::kMillisecond);

void BM_LoadFromMemory(benchmark::State& state)
{
    std::vector<unsigned char> data;
    {
        CDizadoDoc source;
        BuildModel(source);
        data = Store(source);
    }
    CDizadoDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.DeleteContents();
        state.ResumeTiming();
        CMemFile file(data.data(), data.size());
        CArchive ar(&file, CArchive::load);
        doc.Serialize(ar);
        ar.Close();
    }
}
BENCHMARK(BM_LoadFromMemory)->Unit(benchmark::kMillisecond);

// The layer's save step: temporary file, sync, rename; the preview is left out.
void BM_SaveToDisk(benchmark::State& state)
{
    Folder folder;
    const std::string path = folder.File("model.brk");
    CDizadoDoc doc;
    BuildModel(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.COleServerDoc::OnSaveDocument(path.c_str()));
}
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond);

// Open replaces a model of the same size, as it does in the program.
void BM_OpenFromDisk(benchmark::State& state)
{
    Folder folder;
    const std::string path = folder.File("model.brk");
    {
        CDizadoDoc source;
        BuildModel(source);
        source.COleServerDoc::OnSaveDocument(path.c_str());
    }
    CDizadoDoc doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.OnOpenDocument(path.c_str()));
}
BENCHMARK(BM_OpenFromDisk)->Unit(benchmark::kMillisecond);

// The floor under opening: every record of the file is a big-endian length and
// its bytes after the eight-byte magic; this reads them all and visits each.
void BM_OpenReference(benchmark::State& state)
{
    Folder folder;
    const std::string path = folder.File("model.brk");
    {
        CDizadoDoc source;
        BuildModel(source);
        source.COleServerDoc::OnSaveDocument(path.c_str());
    }
    size_t records = 0;
    for (auto _ : state) {
        CFile file;
        file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        std::vector<unsigned char> bytes(file.GetLength());
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Close();
        records = 0;
        unsigned sum = 0;
        for (size_t at = 8; at + 4 <= bytes.size(); ++records) {
            const size_t length = (size_t{bytes[at]} << 24) | (size_t{bytes[at + 1]} << 16) |
                                  (size_t{bytes[at + 2]} << 8) | bytes[at + 3];
            at += 4;
            for (size_t i = 0; i < length && at + i < bytes.size(); ++i)
                sum += bytes[at + i];
            at += length;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_OpenReference)->Unit(benchmark::kMillisecond);

}  // namespace
