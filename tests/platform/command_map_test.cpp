#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/core/cmd_target.h"
#include "platform/core/cmd_ui.h"

namespace {

constexpr UINT kOpen = 100;
constexpr UINT kLocked = 101;     // has a handler, but its update handler disables it
constexpr UINT kFirstTool = 200;  // 200-203: a range
constexpr UINT kLastTool = 203;
constexpr UINT kRename = 300;     // only the derived class handles it
constexpr UINT kBaseOpen = 301;   // the derived class maps it to the base's handler
constexpr UINT kList = 400;       // a list box: a control notification
constexpr int kSelChange = 1;

std::vector<std::string> g_calls;

class BaseTarget : public CCmdTarget {
public:
    UINT m_currentTool = 201;

protected:
    void OnOpen() { g_calls.push_back("base open"); }
    void OnLocked() { g_calls.push_back("locked"); }
    void OnUpdateLocked(CCmdUI* cmdUI) { cmdUI->Enable(FALSE); }
    void OnTool(UINT id) { g_calls.push_back("tool " + std::to_string(id)); }
    void OnUpdateTool(CCmdUI* cmdUI) { cmdUI->SetCheck(cmdUI->m_nID == m_currentTool); }
    void OnListSelChange() { g_calls.push_back("list changed"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseTarget, CCmdTarget)
ON_COMMAND(kOpen, OnOpen)
ON_COMMAND(kLocked, OnLocked)
ON_UPDATE_COMMAND_UI(kLocked, OnUpdateLocked)
ON_COMMAND_RANGE(kFirstTool, kLastTool, OnTool)
ON_UPDATE_COMMAND_UI_RANGE(kFirstTool, kLastTool, OnUpdateTool)
ON_CONTROL(kSelChange, kList, OnListSelChange)
END_MESSAGE_MAP()

class DerivedTarget : public BaseTarget {
public:
    BOOL m_canRename = TRUE;

protected:
    void OnOpen() { g_calls.push_back("derived open"); }
    void OnRename() { g_calls.push_back("rename"); }
    void OnUpdateRename(CCmdUI* cmdUI)
    {
        cmdUI->Enable(m_canRename);
        cmdUI->SetText("&Rename\tF2");
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedTarget, BaseTarget)
ON_COMMAND(kOpen, OnOpen)
ON_COMMAND(kRename, OnRename)
ON_UPDATE_COMMAND_UI(kRename, OnUpdateRename)
ON_COMMAND(kBaseOpen, BaseTarget::OnOpen)
END_MESSAGE_MAP()

// A target that only decides enabling, leaving the command to someone else.
class Gatekeeper : public CCmdTarget {
public:
    BOOL m_allow = TRUE;
    BOOL m_passOn = FALSE;

protected:
    void OnUpdateAny(CCmdUI* cmdUI)
    {
        if (m_passOn) {
            cmdUI->ContinueRouting();
            return;
        }
        cmdUI->Enable(m_allow);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Gatekeeper, CCmdTarget)
ON_UPDATE_COMMAND_UI_RANGE(kOpen, kRename, OnUpdateAny)
END_MESSAGE_MAP()

class CommandMap : public ::testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
};

TEST_F(CommandMap, LooksUpTheClassBeforeItsBases)
{
    BaseTarget base;
    DerivedTarget derived;
    struct Case {
        CCmdTarget* target;
        UINT id;
        int code;
        bool handled;
        const char* call;
    };
    const Case cases[] = {
        {&base, kOpen, CN_COMMAND, true, "base open"},
        {&derived, kOpen, CN_COMMAND, true, "derived open"},
        {&derived, kLocked, CN_COMMAND, true, "locked"},  // inherited entry
        {&derived, kFirstTool, CN_COMMAND, true, "tool 200"},
        {&derived, kLastTool, CN_COMMAND, true, "tool 203"},
        {&derived, kFirstTool - 1, CN_COMMAND, false, nullptr},
        {&derived, kLastTool + 1, CN_COMMAND, false, nullptr},
        {&base, kRename, CN_COMMAND, false, nullptr},
        {&derived, kRename, CN_COMMAND, true, "rename"},
        {&derived, kBaseOpen, CN_COMMAND, true, "base open"},
        // A notification is found by its code only.
        {&derived, kList, kSelChange, true, "list changed"},
        {&derived, kList, CN_COMMAND, false, nullptr},
        {&derived, kOpen, kSelChange, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " code " << c.code);
        g_calls.clear();
        EXPECT_EQ(c.target->OnCmdMsg(c.id, c.code, nullptr, nullptr) != FALSE, c.handled);
        EXPECT_EQ(g_calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
    }
}

TEST_F(CommandMap, AskingForTheHandlerDoesNotRunIt)
{
    DerivedTarget derived;
    AFX_CMDHANDLERINFO info;
    EXPECT_TRUE(derived.OnCmdMsg(kRename, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &derived);
    ASSERT_NE(info.pEntry, nullptr);
    EXPECT_EQ(info.pEntry->nID, kRename);
    EXPECT_TRUE(g_calls.empty());

    AFX_CMDHANDLERINFO none;
    EXPECT_FALSE(derived.OnCmdMsg(999, CN_COMMAND, nullptr, &none));
    EXPECT_EQ(none.pTarget, nullptr);
}

TEST_F(CommandMap, TheFoundHandlerIsNamedByItsTableAndMember)
{
    DerivedTarget derived;
    const struct {
        UINT id;
        int code;
        const char* table;
        const char* handler;
    } cases[] = {
        {kRename, CN_COMMAND, "DerivedTarget", "OnRename"},
        {kOpen, CN_COMMAND, "DerivedTarget", "OnOpen"},  // hides the base's entry
        {kFirstTool + 1, CN_COMMAND, "BaseTarget", "OnTool"},
        {kFirstTool + 1, CN_UPDATE_COMMAND_UI, "BaseTarget", "OnUpdateTool"},
        {kBaseOpen, CN_COMMAND, "DerivedTarget", "BaseTarget::OnOpen"},
        {kList, kSelChange, "BaseTarget", "OnListSelChange"},
    };
    for (const auto& c : cases) {
        AFX_CMDHANDLERINFO info;
        ASSERT_TRUE(derived.OnCmdMsg(c.id, c.code, nullptr, &info)) << c.id;
        ASSERT_NE(info.pMap, nullptr);
        EXPECT_STREQ(info.pMap->pszClassName, c.table) << c.id;
        EXPECT_STREQ(info.pEntry->pszHandler, c.handler) << c.id;
    }
}

TEST_F(CommandMap, TheDispatchHookSeesEachHandlerAndMaySkipIt)
{
    DerivedTarget derived;
    std::vector<std::string> seen;
    bool run = false;
    auto previous = platform::SetCommandDispatchHook(
        [&](CCmdTarget* target, const AFX_MSGMAP* map, const AFX_MSGMAP_ENTRY* entry) {
            EXPECT_EQ(target, &derived);
            seen.push_back(std::string(map->pszClassName) + "::" + entry->pszHandler);
            return run;
        });
    CCmdUI ui(kFirstTool);
    EXPECT_TRUE(derived.OnCmdMsg(kFirstTool, CN_UPDATE_COMMAND_UI, &ui, nullptr));
    EXPECT_TRUE(seen.empty()) << "update handlers are not commands";
    EXPECT_TRUE(derived.OnCmdMsg(kRename, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(g_calls.empty()) << "skipped, yet handled";
    run = true;
    EXPECT_TRUE(derived.OnCmdMsg(kList, kSelChange, nullptr, nullptr));
    EXPECT_EQ(g_calls, std::vector<std::string>{"list changed"});
    EXPECT_FALSE(derived.OnCmdMsg(999, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(seen, (std::vector<std::string>{"DerivedTarget::OnRename", "BaseTarget::OnListSelChange"}));
    platform::SetCommandDispatchHook(previous);
}

TEST_F(CommandMap, UpdateHandlersRecordWhatTheyGiveTheItem)
{
    DerivedTarget derived;
    struct Case {
        UINT id;
        BOOL enabled;
        int check;
        const char* text;
        BOOL handled;  // an update handler ran
    };
    const Case cases[] = {
        {kLocked, FALSE, 0, "", TRUE},
        {200, TRUE, 0, "", TRUE},
        {201, TRUE, 1, "", TRUE},  // the current tool is ticked
        {kRename, TRUE, 0, "&Rename\tF2", TRUE},
        // No update handler: enabled exactly when a command handler exists.
        {kOpen, TRUE, 0, "", FALSE},
        {999, FALSE, 0, "", FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CCmdUI item(c.id);
        EXPECT_EQ(item.DoUpdate(&derived), c.handled);
        EXPECT_EQ(item.m_bEnabled, c.enabled);
        EXPECT_EQ(item.m_nCheck, c.check);
        EXPECT_EQ(item.m_strText, c.text);
    }
    EXPECT_TRUE(g_calls.empty()) << "an update must not run the command";

    // Without disabling for a missing handler the item is left as it was.
    CCmdUI untouched(999);
    EXPECT_FALSE(untouched.DoUpdate(&derived, FALSE));
    EXPECT_TRUE(untouched.m_bEnabled);
    EXPECT_FALSE(untouched.m_bEnableChanged);

    CCmdUI radio(5);
    radio.SetRadio(TRUE);
    EXPECT_EQ(radio.m_nCheck, 1);
    EXPECT_TRUE(radio.m_bRadio);
    radio.SetCheck(0);
    EXPECT_FALSE(radio.m_bRadio);
}

TEST_F(CommandMap, RoutingRunsOnlyEnabledCommandsOnce)
{
    DerivedTarget document;
    Gatekeeper frame;
    struct Case {
        const char* name;
        std::vector<CCmdTarget*> route;
        UINT id;
        BOOL allow;
        BOOL passOn;
        BOOL ran;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"no update handler, command exists", {&document}, kOpen, TRUE, FALSE, TRUE, {"derived open"}},
        {"own update handler disables", {&document}, kLocked, TRUE, FALSE, FALSE, {}},
        {"nobody handles it", {&document}, 999, TRUE, FALSE, FALSE, {}},
        {"earlier target allows", {&frame, &document}, kRename, TRUE, FALSE, TRUE, {"rename"}},
        {"earlier target forbids what the document allows", {&frame, &document}, kOpen, FALSE, FALSE, FALSE, {}},
        {"earlier target passes the decision on", {&frame, &document}, kLocked, TRUE, TRUE, FALSE, {}},
        {"a later update handler still decides", {&document, &frame}, kOpen, FALSE, FALSE, FALSE, {}},
        {"null targets are skipped", {nullptr, &document, nullptr}, kFirstTool + 2, TRUE, FALSE, TRUE, {"tool 202"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_calls.clear();
        frame.m_allow = c.allow;
        frame.m_passOn = c.passOn;
        EXPECT_EQ(RouteCommand(c.route.data(), static_cast<int>(c.route.size()), c.id), c.ran);
        EXPECT_EQ(g_calls, c.calls);
    }

    // The first command handler in the route wins; later ones do not run too.
    BaseTarget second;
    CCmdTarget* const route[] = {&document, &second};
    EXPECT_TRUE(RouteCommand(route, 2, kOpen));
    EXPECT_EQ(g_calls.back(), "derived open");
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "base open"), 0);

    g_calls.clear();
    CCmdTarget* const listRoute[] = {&frame, &document};
    EXPECT_TRUE(RouteControlNotification(listRoute, 2, kList, kSelChange));
    EXPECT_EQ(g_calls, std::vector<std::string>{"list changed"});
}

}  // namespace
