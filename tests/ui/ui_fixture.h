// The test dialogs' resources, and the one application object of the ui
// tests, which counts its idle passes.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/core/resources.h"
#include "platform/ui/res_templates.h"
#include "platform/ui/win_app.h"

namespace uitest {

inline std::string TestData(const std::string& name)
{
    const char* folder = std::getenv("DIZADO_TEST_DATA");
#ifdef DIZADO_TEST_DATA_DIR
    if (!folder || !*folder)
        folder = DIZADO_TEST_DATA_DIR;
#endif
    return std::string(folder ? folder : ".") + "/" + name;
}

inline std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The fixture script's module, used for dialogs, menus and accelerators
// while it lives.
class FixtureResources {
public:
    FixtureResources() : m_module(platform::OpenResourceModuleFromMemory(ReadFile(TestData("dialogs.res"))))
    {
        m_previous = platform::SetTemplateModule(m_module);
    }
    ~FixtureResources()
    {
        platform::SetTemplateModule(m_previous);
        if (m_module)
            FreeLibrary(m_module);
    }
    FixtureResources(const FixtureResources&) = delete;
    FixtureResources& operator=(const FixtureResources&) = delete;
    HMODULE Module() const { return m_module; }

    // The bytes of one resource of the fixture.
    std::vector<uint8_t> Bytes(UINT id, const char* type) const
    {
        return platform::ResourceBytes(m_module, MAKEINTRESOURCE(id), type);
    }

private:
    HMODULE m_module;
    HMODULE m_previous = nullptr;
};

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("Dizado") {}
    BOOL OnIdle(LONG count) override
    {
        ++idlePasses;
        return CWinApp::OnIdle(count);
    }
    CDocument* OpenDocumentFile(const char* path) override
    {
        opened.emplace_back(path ? path : "");
        return nullptr;
    }
    BOOL InitInstance() override
    {
        ++inits;
        CCommandLineInfo info;
        ParseCommandLine(info);
        if (quitWith >= 0)
            PostQuitMessage(quitWith);
        return initResult;
    }
    int ExitInstance() override
    {
        ++exits;
        return CWinApp::ExitInstance();
    }
    BOOL initResult = TRUE;
    int quitWith = -1;
    int inits = 0;
    int exits = 0;
    int idlePasses = 0;
    std::vector<std::string> opened;
};

TestApp& App();

}  // namespace uitest
