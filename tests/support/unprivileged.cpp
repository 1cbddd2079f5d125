#include "tests/support/unprivileged.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/support/skip.h"

extern char** environ;

namespace testsupport {

namespace {

namespace fs = std::filesystem;

// The child's own ends, told apart from a test binary's 0 and 1.
constexpr int kCannotDrop = 125;
constexpr int kCannotStart = 126;

// The user's folder, with a copy of this binary in it: a build under a root-only
// folder (a clone in /root) cannot be reached by that user in place.
class Workplace {
public:
    Workplace(uid_t uid, gid_t gid)
    {
        std::string pattern = (fs::temp_directory_path() / "dizado-unprivileged-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            error = std::string("no temporary folder: ") + std::strerror(errno);
            return;
        }
        folder = pattern;
        std::error_code failed;
        binary = folder / "test_binary";
        fs::copy_file("/proc/self/exe", binary, failed);
        if (!failed)
            fs::permissions(binary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec,
                            failed);
        if (failed) {
            error = "cannot copy the test binary to " + binary.string() + ": " + failed.message();
            return;
        }
        if (::chown(folder.c_str(), uid, gid) != 0)
            error = "cannot give " + folder.string() + " to the user: " + std::strerror(errno);
    }
    ~Workplace()
    {
        std::error_code ignored;
        if (!folder.empty())
            fs::remove_all(folder, ignored);
    }
    Workplace(const Workplace&) = delete;
    Workplace& operator=(const Workplace&) = delete;

    fs::path folder;
    fs::path binary;
    std::string error;
};

}  // namespace

void RunAgainUnprivileged()
{
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    const passwd* user = ::getpwnam("nobody");
    const uid_t uid = user ? user->pw_uid : 65534;
    const gid_t gid = user ? user->pw_gid : 65534;

    Workplace place(uid, gid);
    if (!place.error.empty())
        DIZADO_SKIP("cannot run as an unprivileged user: " + place.error);

    // Everything the child needs is made before the fork: it only drops and execs.
    const std::string binary = place.binary.string();
    const std::string folder = place.folder.string();
    const std::string filter = std::string("--gtest_filter=") + test.test_suite_name() + "." + test.name();
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "HOME=", 5) != 0 && std::strncmp(*entry, "TMPDIR=", 7) != 0)
            environment.emplace_back(*entry);
    environment.push_back("HOME=" + folder);
    environment.push_back("TMPDIR=" + folder);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(binary.c_str()), const_cast<char*>(filter.c_str()), nullptr};

    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0)
        DIZADO_SKIP(std::string("cannot fork: ") + std::strerror(errno));
    if (pid == 0) {
        // A privilege that could be taken back was not dropped.
        if (::chdir(folder.c_str()) != 0 || ::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0 || ::setuid(0) == 0 || ::geteuid() == 0)
            ::_exit(kCannotDrop);
        ::execve(argv[0], argv, envp.data());
        ::_exit(kCannotStart);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop)
        DIZADO_SKIP("root cannot drop its privileges to uid " + std::to_string(uid) + " here");
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotStart)
        DIZADO_SKIP("the unprivileged user cannot start " + binary);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the test failed as uid " << uid << " (status " << status << "); its output is above";
}

}  // namespace testsupport
