// The fixture of the model tests: the in-memory kit installed as the brick
// services, a recording listener on a root group, and message boxes caught.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"
#include "tests/model/model_test_kit.h"

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const testkit::Bytes kit = testkit::BuildKit();
        m_module = platform::OpenResourceModuleFromMemory(kit);
        ASSERT_NE(m_module, nullptr);
        services = std::make_unique<testkit::TestBrickServices>(m_module);
        SetBrickServices(services.get());
        m_oldHook = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            messages.push_back(text);
            return IDOK;
        });
        root = std::make_unique<CBrickGroup>();
        root->AddListener(&pane);
    }

    void TearDown() override
    {
        root.reset();
        platform::SetMessageBoxHook(m_oldHook);
        SetBrickServices(nullptr);
        services.reset();
        FreeLibrary(m_module);
    }

    // A sub-group chain below the root, `depth` groups deep; answers the deepest.
    CBrickGroup* Nest(CBrickGroup* top, int depth)
    {
        CBrickGroup* group = top;
        for (int i = 0; i < depth; ++i) {
            auto* sub = new CBrickGroup;
            sub->SetParent(group);
            group = sub;
        }
        return group;
    }

    CBrick* MakeAt(CBrickGroup* group, int x, int y, int z, SHORT classId = testkit::kBuiltIn, LONG colour = 0)
    {
        return CBrick::Make(group, CPoint3D(x, y, z), classId, colour, 0, 0);
    }

    std::unique_ptr<testkit::TestBrickServices> services;
    std::unique_ptr<CBrickGroup> root;
    testkit::Recorder pane;
    std::vector<std::string> messages;

private:
    HMODULE m_module = nullptr;
    platform::MessageBoxHook m_oldHook;
};
