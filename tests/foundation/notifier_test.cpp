#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/notification_codes.h"
#include "foundation/notifier.h"

namespace {

static_assert(sizeof(LPARAM) == sizeof(void*), "notification data carries pointers");

struct Heard {
    char who;
    UINT sender;
    UINT code;
    LPARAM data;
};

class Listener : public CNotifier {
public:
    Listener(char n, std::vector<Heard>& log) : name(n), m_log(log) {}
    void OnNotify(UINT senderId, UINT code, LPARAM data) override
    {
        m_log.push_back({name, senderId, code, data});
        if (onNotify)
            onNotify();
    }
    char name;
    std::function<void()> onNotify;

private:
    std::vector<Heard>& m_log;
};

std::string Who(const std::vector<Heard>& log)
{
    std::string out;
    for (const Heard& h : log)
        out += h.who;
    return out;
}

TEST(CNotifier, PassesSenderIdCodeAndPointerData)
{
    std::vector<Heard> log;
    CNotifier sender;
    EXPECT_EQ(sender.NotifyListeners(NOTIFY_IDLE, 0), 0);

    Listener a('a', log);
    sender.SetNotifyId(NOTIFY_ID_DOCUMENT);
    EXPECT_EQ(sender.AddListener(&a), 1);
    int payload = 0;
    const LPARAM data = reinterpret_cast<LPARAM>(&payload);
    EXPECT_EQ(sender.NotifyListeners(NOTIFY_DOC_CLASS_CHANGED, data), 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].sender, NOTIFY_ID_DOCUMENT);
    EXPECT_EQ(log[0].code, NOTIFY_DOC_CLASS_CHANGED);
    EXPECT_EQ(reinterpret_cast<int*>(log[0].data), &payload);
}

TEST(CNotifier, DuplicatesAreCalledTwiceAndRemovedOneAtATime)
{
    std::vector<Heard> log;
    CNotifier sender;
    Listener a('a', log), b('b', log);
    sender.AddListener(&a);
    sender.AddListener(&b);
    EXPECT_EQ(sender.AddListener(&a), 3);
    EXPECT_EQ(sender.NotifyListeners(NOTIFY_BRICK_CREATED, 0), 3);
    EXPECT_EQ(Who(log), "aba");

    log.clear();
    EXPECT_EQ(sender.RemoveListener(&a), 2);
    sender.NotifyListeners(NOTIFY_BRICK_CREATED, 0);
    EXPECT_EQ(Who(log), "ba");

    Listener stranger('s', log);
    EXPECT_EQ(sender.RemoveListener(&stranger), 2);
}

// Listeners a, b, c; one of them changes the registrations when it hears.
TEST(CNotifier, RegistrationChangesDuringAPass)
{
    struct Case {
        const char* what;
        char actor;
        std::function<void(CNotifier&, Listener*[])> act;  // listeners a, b, c, d
        const char* heard;
        const char* heardNext;
    };
    const Case cases[] = {
        {"b removes itself", 'b', [](CNotifier& s, Listener* l[]) { s.RemoveListener(l[1]); }, "abc", "ac"},
        {"b removes a", 'b', [](CNotifier& s, Listener* l[]) { s.RemoveListener(l[0]); }, "abc", "bc"},
        {"a removes b", 'a', [](CNotifier& s, Listener* l[]) { s.RemoveListener(l[1]); }, "ac", "ac"},
        {"b removes everyone", 'b',
         [](CNotifier& s, Listener* l[]) {
             for (int i = 0; i < 3; ++i)
                 s.RemoveListener(l[i]);
         },
         "ab", ""},
        {"a adds d", 'a', [](CNotifier& s, Listener* l[]) { s.AddListener(l[3]); }, "abc", "abcd"},
    };
    for (const Case& c : cases) {
        std::vector<Heard> log;
        CNotifier sender;
        Listener a('a', log), b('b', log), cc('c', log), d('d', log);
        Listener* all[] = {&a, &b, &cc, &d};
        for (int i = 0; i < 3; ++i)
            sender.AddListener(all[i]);
        bool done = false;
        all[c.actor - 'a']->onNotify = [&] {
            if (!done) {
                done = true;
                c.act(sender, all);
            }
        };
        EXPECT_EQ(sender.NotifyListeners(NOTIFY_HOLD_REBUILD, 0), static_cast<int>(std::string(c.heard).size()))
            << c.what;
        EXPECT_EQ(Who(log), c.heard) << c.what;
        log.clear();
        sender.NotifyListeners(NOTIFY_HOLD_REBUILD, 0);
        EXPECT_EQ(Who(log), c.heardNext) << c.what;
    }
}

TEST(CNotifier, ANestedPassKeepsTheOuterOneRight)
{
    std::vector<Heard> log;
    CNotifier sender;
    Listener a('a', log), b('b', log), c('c', log);
    sender.AddListener(&a);
    sender.AddListener(&b);
    sender.AddListener(&c);
    // a notifies again; in that inner pass b leaves.
    bool nested = false;
    a.onNotify = [&] {
        if (nested)
            return;
        nested = true;
        b.onNotify = [&] { sender.RemoveListener(&b); };
        sender.NotifyListeners(NOTIFY_HOLD_EXTENT, 0);
    };
    sender.NotifyListeners(NOTIFY_HOLD_REBUILD, 0);
    EXPECT_EQ(Who(log), "aabcc");
}

TEST(CNotifier, AListenerMayDeleteTheSender)
{
    std::vector<Heard> log;
    auto* sender = new CNotifier;
    Listener a('a', log), b('b', log);
    sender->AddListener(&a);
    sender->AddListener(&b);
    a.onNotify = [&] { delete sender; };
    // ASan reports any use of the sender after its listener deleted it.
    EXPECT_EQ(sender->NotifyListeners(NOTIFY_ROOT_DESTROYING, 0), 1);
    EXPECT_EQ(Who(log), "a");
}

}  // namespace
