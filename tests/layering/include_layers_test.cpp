// Every include in the program's sources stays within its layer or reaches
// down, and Qt stays inside platform/. The rule is checked on a table of
// made-up include lines first, so that a rule that lets everything through
// cannot pass the scan of the real tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lowest first; a layer may include its own and the ones before it.
const std::vector<std::string> kLayers = {"platform/core", "platform/gdi", "platform/ui", "foundation",
                                          "model",         "document",     "views",       "shell"};
// The folders with rules of their own besides the layers.
const std::vector<std::string> kOtherRoots = {"tools", "resources", "kits"};

bool Under(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// The layer's index, or none for a path in no layer.
std::optional<size_t> LayerOf(const std::string& path)
{
    for (size_t i = 0; i < kLayers.size(); ++i)
        if (Under(path, kLayers[i]))
            return i;
    return std::nullopt;
}

size_t LayerIndex(const std::string& name)
{
    for (size_t i = 0; i < kLayers.size(); ++i)
        if (kLayers[i] == name)
            return i;
    ADD_FAILURE() << name;
    return 0;
}

bool IsQtHeader(const std::string& name)
{
    static const std::regex qt(R"(^(Qt[A-Za-z0-9]*/.*|Q[A-Za-z0-9_]+)$)");
    return std::regex_match(name, qt);
}

// Why the include line in `file` (a path from the source folder) breaks the
// layering, or empty when it does not or is no include at all.
std::string Verdict(const std::string& file, const std::string& line)
{
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"].*)");
    std::smatch m;
    if (!std::regex_match(line, m, directive))
        return {};
    if (Under(file, "tests") || Under(file, "benchmarks"))
        return {};
    const std::string name = m[2];
    const bool quoted = m[1] == "\"";

    if (IsQtHeader(name))
        return Under(file, "platform") ? std::string() : "Qt outside platform/";

    // A quoted name without a folder, or one starting with a dot, is found
    // beside the including file; every other name from the source folder.
    const bool beside = quoted && (name.find('/') == std::string::npos || name.rfind("./", 0) == 0 ||
                                   name.rfind("../", 0) == 0);
    const std::string target =
        (beside ? fs::path(file).parent_path() / name : fs::path(name)).lexically_normal().generic_string();

    // The program's ids are the program's: the layer keeps its own and the
    // program ties the two together.
    if (Under(target, "resources"))
        return Under(file, "platform")
                   ? "the platform layer reaches into the program's resources"
                   : Under(file, "resources") || Under(file, "kits") || LayerOf(file) || Under(file, "tools")
                         ? std::string()
                         : "resources/ from " + file;
    if (Under(target, "tests") || Under(target, "benchmarks"))
        return "test code included by the program";
    if (Under(file, "tools")) {
        if (Under(target, "tools"))
            return {};
        const auto layer = LayerOf(target);
        return !layer || *layer <= LayerIndex("foundation") ? std::string() : "tools/ may use platform and foundation only";
    }
    if (Under(target, "tools"))
        return "tools/ is for build-time generators";
    if (Under(file, "resources") || Under(file, "kits"))
        return LayerOf(target) ? "a resource script reaches into code" : std::string();

    const auto from = LayerOf(file);
    if (!from)
        return file + " lies in no layer";
    const auto to = LayerOf(target);
    if (Under(target, "platform") && !to)
        return "no such platform layer";
    if (to && *to > *from)
        return kLayers[*from] + " reaches up to " + kLayers[*to];
    return {};
}

TEST(IncludeLayers, TheRuleTellsWhichIncludesReachUp)
{
    const struct {
        const char* file;
        const char* line;
        bool allowed;
    } cases[] = {
        // Down, sideways and the standard library.
        {"model/brick.cpp", "#include \"model/brick.h\"", true},
        {"model/brick.cpp", "#include \"foundation/region.h\"", true},
        {"document/preview.cpp", "  #  include <platform/gdi/dc.h>", true},
        {"shell/main.cpp", "#include \"document/dizado_doc.h\"", true},
        {"shell/main.cpp", "#include \"views/pane.h\"", true},
        {"platform/ui/window.cpp", "#include \"platform/gdi/dc.h\"", true},
        {"foundation/region.cpp", "#include <vector>", true},
        {"foundation/region.cpp", "#include \"region.h\"", true},
        {"document/brick_command.cpp", "#include \"resources/resource_ids.h\"", true},
        {"resources/dizado.rc", "#include \"resource_ids.h\"", true},
        {"tools/brick_art.cpp", "#include \"foundation/region.h\"", true},
        {"tools/make_bricks.cpp", "#include \"tools/brick_art.h\"", true},
        {"tests/model/brick_test.cpp", "#include \"document/dizado_doc.h\"", true},
        {"benchmarks/model_bench.cpp", "#include <QImage>", true},
        {"model/brick.cpp", "// #include \"document/dizado_doc.h\"", true},
        {"model/brick.cpp", "const char* text = \"#include <QImage>\";", true},
        // Up, however it is written.
        {"model/brick.cpp", "#include \"document/dizado_doc.h\"", false},
        {"model/brick.cpp", "#include <document/dizado_doc.h>", false},
        {"model/brick.cpp", "#include \"../document/dizado_doc.h\"", false},
        {"model/brick.cpp", "#include \"foundation/../views/pane.h\"", false},
        {"foundation/region.cpp", "#include \"model/brick.h\"", false},
        {"platform/core/file.cpp", "#include \"platform/gdi/dc.h\"", false},
        {"platform/gdi/dc.cpp", "#include \"platform/ui/window.h\"", false},
        {"platform/ui/window.cpp", "#include \"foundation/region.h\"", false},
        {"document/dizado_doc.cpp", "#include \"views/pane.h\"", false},
        {"views/pane.cpp", "#include \"shell/app.h\"", false},
        {"platform/gdi/dc.cpp", "#include \"platform/widgets/x.h\"", false},
        // Qt belongs to platform/ only.
        {"platform/ui/event_loop.cpp", "#include <QTimer>", true},
        {"platform/gdi/surface.cpp", "#include <QtGui/QImage>", true},
        {"foundation/sound_player.cpp", "#include <QTimer>", false},
        {"model/brick.cpp", "#include <QtCore/QString>", false},
        {"shell/main.cpp", "#include <QApplication>", false},
        {"tools/make_palette.cpp", "#include <QImage>", false},
        // Tools and the test code.
        {"tools/brick_art.cpp", "#include \"model/brick.h\"", false},
        {"model/brick.cpp", "#include \"tools/brick_art.h\"", false},
        {"document/preview.cpp", "#include \"tests/support/message_box_recorder.h\"", false},
        {"kits/basic.rc", "#include \"model/brick.h\"", false},
        {"automation/server.cpp", "#include \"model/brick.h\"", false},
        // The layer keeps its own ids.
        {"platform/ui/menu.cpp", "#include \"resources/resource_ids.h\"", false},
        {"platform/core/hooks.h", "#include \"../../resources/dialog_ids.h\"", false},
        {"model/brick.h", "#include \"resources/resource_ids.h\"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Verdict(c.file, c.line).empty(), c.allowed) << c.file << ": " << c.line << " -> "
                                                             << Verdict(c.file, c.line);
}

TEST(IncludeLayers, NoSourceReachesUpOrBringsQtOutsidePlatform)
{
    const fs::path source = DIZADO_SOURCE_DIR;
    const std::regex kind(R"(\.(h|hpp|c|cc|cpp|cxx|inl|rc)$)");
    std::vector<std::string> faults;
    std::map<std::string, int> includesPerRoot;
    std::vector<std::string> roots = kLayers;
    roots.insert(roots.end(), kOtherRoots.begin(), kOtherRoots.end());
    for (const auto& root : roots) {
        if (!fs::is_directory(source / root))
            continue;
        includesPerRoot[root] = 0;
        for (const auto& entry : fs::recursive_directory_iterator(source / root)) {
            const std::string file = fs::relative(entry.path(), source).generic_string();
            if (!entry.is_regular_file() || !std::regex_search(file, kind))
                continue;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (line.find("include") == std::string::npos)
                    continue;
                static const std::regex any(R"(^\s*#\s*include\b.*)");
                if (std::regex_match(line, any))
                    ++includesPerRoot[root];
                if (const std::string why = Verdict(file, line); !why.empty())
                    faults.push_back(file + ":" + std::to_string(number) + ": " + line + " (" + why + ")");
            }
        }
    }
    // A scan that read nothing would pass whatever the tree holds.
    for (const char* root : {"platform/core", "platform/gdi", "foundation", "model", "document"})
        EXPECT_GT(includesPerRoot[root], 0) << root << " not read from " << source;
    for (const auto& fault : faults)
        ADD_FAILURE() << fault;
}

}  // namespace
