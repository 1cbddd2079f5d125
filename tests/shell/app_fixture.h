// The one application object of the shell tests, and a fresh home, users'
// root and program folder for each test.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "platform/ui/dialog.h"
#include "shell/dizado_app.h"
#include "tests/support/temp_home.h"

namespace shelltest {

CDizadoApp& App();

inline std::time_t FixedClock()
{
    return 0x5f5e0ffbL;
}

// Runs `step` inside the modal loop of every dialog shown meanwhile.
class InModal {
public:
    explicit InModal(std::function<void(CDialog&)> step) : m_previous(platform::SetModalHook(std::move(step))) {}
    ~InModal() { platform::SetModalHook(m_previous); }

private:
    platform::ModalHook m_previous;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        location = home.root / "users";
        program = home.root / "program";
        std::filesystem::create_directories(location);
        std::filesystem::create_directories(program);
        App().m_pszProfileName = (home.root / "dizado.ini").string().c_str();
        App().SetFoldersForTest(location.string().c_str(), program.string().c_str());
        App().SetClock(FixedClock);
    }
    void TearDown() override
    {
        App().SetClock(nullptr);
        App().SetFoldersForTest("", "");
        App().m_pszProfileName.Empty();
    }

    static void Touch(const std::filesystem::path& path)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    std::string ProfileText() const
    {
        std::ifstream in(home.root / "dizado.ini");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempHome home;
    std::filesystem::path location;
    std::filesystem::path program;
};

}  // namespace shelltest
