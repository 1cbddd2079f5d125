// The automation application object, called by name as a client would.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document/dizado_doc.h"
#include "platform/core/hooks.h"
#include "platform/core/registry.h"
#include "shell/automation/auto_app.h"
#include "shell/automation/shell_automation.h"
#include "tests/support/scoped_hook.h"
#include "tests/support/temp_home.h"

namespace {

class AutoAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldBox = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        m_oldBeep = platform::SetBeepHook([this](UINT) { ++beeps; });
        app = new AutoApp;
        dispatch = app->GetIDispatch(TRUE);
        app->ExternalRelease();  // only the client keeps it now
    }
    void TearDown() override
    {
        if (dispatch)
            dispatch->Release();
        platform::SetBeepHook(m_oldBeep);
        platform::SetMessageBoxHook(m_oldBox);
    }

    COleVariant Call(const char* name, std::initializer_list<COleVariant> args, HRESULT expected = S_OK)
    {
        COleVariant result;
        EXPECT_EQ(dispatch->Invoke(name, DISPATCH_METHOD, args, &result), expected) << name;
        return result;
    }

    std::vector<std::string> boxes;
    int beeps = 0;
    AutoApp* app = nullptr;
    IDispatch* dispatch = nullptr;

private:
    platform::MessageBoxHook m_oldBox;
    platform::BeepHook m_oldBeep;
};

TEST_F(AutoAppTest, MembersArePublishedInOrderWithTheirTypes)
{
    const char* names[] = {"TCFunction", "TestFunc", "Open", "NewDoc", "ShowWindow", "GetActiveDoc"};
    for (DISPID i = 0; i < 6; ++i) {
        DISPID id = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(names[i], &id), S_OK) << names[i];
        EXPECT_EQ(id, i + 1) << names[i];
    }
    Call("TestFunc", {}, DISP_E_BADPARAMCOUNT);
    Call("TCFunction", {COleVariant("x"), COleVariant(LONG(2)), COleVariant("t")}, DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AutoAppTest, TCFunctionShowsTheTextThenTheNumberTextBuiltByHand)
{
    // A client's text is shown as it is, never read as a format.
    const COleVariant result = Call("TCFunction", {COleVariant(SHORT(-5)), COleVariant(LONG(70000)), COleVariant("%s%n%x")});
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "%s%n%x");
    EXPECT_EQ(boxes[1], "P1 = 5D- P2 = -5");
    EXPECT_STREQ(AutoApp::FormatTCText(SHORT(32767), 0), "P1 = 5D- P2 = 32767");
    EXPECT_STREQ(AutoApp::FormatTCText(SHORT(-32768), 0), "P1 = 5D- P2 = -32768");

    Call("TestFunc", {COleVariant("hello")});
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2], "hello");
}

TEST_F(AutoAppTest, WithoutAMainWindowThereIsNoActiveDocumentAndNothingToShow)
{
    Call("ShowWindow", {COleVariant::Bool(TRUE)});
    const COleVariant active = Call("GetActiveDoc", {});
    EXPECT_EQ(active.vt, VT_DISPATCH);
    EXPECT_EQ(active.pdispVal, nullptr);
    const COleVariant opened = Call("Open", {COleVariant("")});
    EXPECT_EQ(opened.pdispVal, nullptr);
}

TEST_F(AutoAppTest, ReleasingTheLastReferenceBeepsOnce)
{
    EXPECT_EQ(beeps, 0);
    dispatch->Release();
    dispatch = nullptr;
    EXPECT_EQ(beeps, 1);
}

TEST(ShellAutomationHost, ApplicationIsNeverNullAndIsTheSameObject)
{
    ScopedHook answerBoxes(platform::SetMessageBoxHook, [](const std::string&, const std::string&, UINT) { return IDOK; });
    ScopedHook quietBeeps(platform::SetBeepHook, [](UINT) {});
    CShellAutomationHost host;
    ScopedValue hosted(SetDocumentAutomationHost, &host, nullptr);
    {
        CDizadoDoc doc;
        IDispatch* docDispatch = doc.GetIDispatch(FALSE);
        COleVariant first;
        COleVariant second;
        ASSERT_EQ(docDispatch->Invoke("Application", DISPATCH_METHOD, {}, &first), S_OK);
        ASSERT_EQ(docDispatch->Invoke("Application", DISPATCH_METHOD, {}, &second), S_OK);
        ASSERT_NE(first.pdispVal, nullptr);
        EXPECT_EQ(first.pdispVal, second.pdispVal);
        DISPID id = 0;
        EXPECT_EQ(first.pdispVal->GetIDsOfNames("NewDoc", &id), S_OK);
        // Without a view the document has no window and no size.
        LONG width = 1;
        LONG height = 1;
        EXPECT_FALSE(host.GetFirstViewSize(&doc, width, height));
        host.ShowDocumentWindow(&doc);
    }
    host.Reset();
}

TEST(ShellOpenCommand, IsTheProgramPathAndPercentOneOrOoops)
{
    std::vector<std::string> boxes;
    ScopedHook recordBoxes(platform::SetMessageBoxHook, [&](const std::string& text, const std::string&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    TempHome home;
    ScopedHook store(platform::SetRegistryStorePath, (home.root / "registry").string());
    ASSERT_TRUE(RegisterShellOpenCommand());
    char value[600] = {};
    LONG size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR\\shell\\open\\command", value, &size), ERROR_SUCCESS);
    const std::string expected = std::filesystem::read_symlink("/proc/self/exe").string() + " %1";
    EXPECT_EQ(std::string(value), expected);
    EXPECT_TRUE(boxes.empty());

    // A store that cannot be written: the user is told, start-up goes on.
    const std::filesystem::path blocked = home.root / "blocked";
    std::filesystem::create_directories(blocked / "registry");
    platform::SetRegistryStorePath((blocked / "registry").string());
    EXPECT_FALSE(RegisterShellOpenCommand());
    EXPECT_EQ(boxes, std::vector<std::string>{"OOOPs"});
}

}  // namespace
