#include "platform/core/single_instance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/command_line.h"
#include "tests/support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using platform::InstanceLock;

// A child process that takes the lock, tells the parent through a pipe, then
// waits for the parent to end it in the way given.
class LockHolder {
public:
    enum class End { exit, kill, abort };

    explicit LockHolder(const char* name)
    {
        int ready[2];
        int release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            const char got = platform::LockSingleInstance(name) == InstanceLock::acquired ? 'y' : 'n';
            (void)!::write(ready[1], &got, 1);
            char how = 0;
            (void)!::read(release[0], &how, 1);
            if (how == 'a') {
                const rlimit noCore {0, 0};
                ::setrlimit(RLIMIT_CORE, &noCore);
                std::abort();
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        char got = 0;
        m_acquired = m_pid > 0 && ::read(ready[0], &got, 1) == 1 && got == 'y';
        ::close(ready[0]);
        m_release = release[1];
    }
    ~LockHolder() { Finish(End::kill); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool Acquired() const { return m_acquired; }

    void Finish(End end)
    {
        if (m_pid <= 0)
            return;
        if (end == End::kill) {
            ::kill(m_pid, SIGKILL);
        } else {
            const char how = end == End::abort ? 'a' : 'x';
            (void)!::write(m_release, &how, 1);
        }
        ::close(m_release);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_acquired = false;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() { TempHome::Set("XDG_RUNTIME_DIR", runtime.string()); }

    TempHome home;
    fs::path runtime = home.root / "run";
    void SetUp() override { fs::create_directory(runtime); }
};

// However the running copy ends, a crash included, the next one may start.
TEST_F(SingleInstanceTest, ASecondCopyIsToldUntilTheFirstEnds)
{
    const std::vector<std::pair<LockHolder::End, const char*>> ends = {
        {LockHolder::End::exit, "exit"}, {LockHolder::End::kill, "kill"}, {LockHolder::End::abort, "abort"}};
    for (const auto& [end, name] : ends) {
        SCOPED_TRACE(name);
        const std::string lockName = std::string("VostrelDIZADO-") + name;
        LockHolder first(lockName.c_str());
        ASSERT_TRUE(first.Acquired());
        EXPECT_EQ(platform::LockSingleInstance(lockName.c_str()), InstanceLock::alreadyRunning);
        {
            LockHolder second(lockName.c_str());
            EXPECT_FALSE(second.Acquired());
        }
        first.Finish(end);
        EXPECT_EQ(platform::LockSingleInstance(lockName.c_str()), InstanceLock::acquired);
        // Now this process is the running copy, also for a later call of its own.
        EXPECT_EQ(platform::LockSingleInstance(lockName.c_str()), InstanceLock::alreadyRunning);
        LockHolder third(lockName.c_str());
        EXPECT_FALSE(third.Acquired());
    }
    EXPECT_TRUE(fs::is_regular_file(runtime / "VostrelDIZADO-kill.lock"));
}

TEST_F(SingleInstanceTest, TheLockFileLiesInTheRuntimeFolderOrTheCache)
{
    EXPECT_EQ(fs::path(platform::InstanceLockPath("VostrelDIZADO")), runtime / "VostrelDIZADO.lock");
    for (const char* refused : {"", ".hidden", "../escape", "a/b", "with space", "semi;colon"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(platform::InstanceLockPath(refused), "");
        EXPECT_EQ(platform::LockSingleInstance(refused), InstanceLock::failed);
    }
    EXPECT_EQ(platform::LockSingleInstance(nullptr), InstanceLock::failed);

    TempHome::Unset("XDG_RUNTIME_DIR");
    EXPECT_EQ(fs::path(platform::InstanceLockPath("VostrelDIZADO")), home.root / ".cache/dizado/VostrelDIZADO.lock");
    EXPECT_EQ(platform::LockSingleInstance("VostrelDIZADO"), InstanceLock::acquired);

    // A runtime folder that takes no file: the program runs rather than refusing.
    TempHome::Set("XDG_RUNTIME_DIR", (home.root / "missing").string());
    EXPECT_EQ(platform::LockSingleInstance("VostrelDIZADO"), InstanceLock::failed);
}

TEST(CommandLine, SwitchesAndOneDocumentPath)
{
    struct Case {
        std::vector<const char*> words;
        BOOL embedded, automated;
        int command;
        const char* path;
    };
    const std::vector<Case> cases = {
        {{}, FALSE, FALSE, CCommandLineInfo::FileNew, ""},
        {{"-Embedding"}, TRUE, FALSE, CCommandLineInfo::FileNew, ""},
        {{"/embedding"}, TRUE, FALSE, CCommandLineInfo::FileNew, ""},
        {{"/Automation"}, FALSE, TRUE, CCommandLineInfo::FileNew, ""},
        {{"-AUTOMATION", "-Embedding"}, TRUE, TRUE, CCommandLineInfo::FileNew, ""},
        {{"/home/ann/castle.brk"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "/home/ann/castle.brk"},
        {{"my", "castle.brk"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "my castle.brk"},
        {{"my", "-Embedding", "castle.brk"}, TRUE, FALSE, CCommandLineInfo::FileOpen, "my castle.brk"},
        {{"-Embeddingx"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "-Embeddingx"},
        {{"--Automation"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "--Automation"},
        {{"/Embedding/castle.brk"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "/Embedding/castle.brk"},
        {{"-", "/"}, FALSE, FALSE, CCommandLineInfo::FileOpen, "- /"},
        {{"", "castle.brk", ""}, FALSE, FALSE, CCommandLineInfo::FileOpen, "castle.brk"},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"dizado"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        argv.push_back(nullptr);
        std::string trace;
        for (const char* word : c.words)
            trace += std::string("[") + word + "]";
        SCOPED_TRACE(trace);
        CCommandLineInfo info;
        ParseCommandLine(static_cast<int>(argv.size() - 1), argv.data(), info);
        EXPECT_EQ(info.m_bRunEmbedded, c.embedded);
        EXPECT_EQ(info.m_bRunAutomated, c.automated);
        EXPECT_EQ(info.m_nShellCommand, c.command);
        EXPECT_EQ(info.m_strFileName, CString(c.path));
    }
}

}  // namespace
