#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/file.h"
#include "platform/core/regular_file.h"
#include "tests/support/temp_home.h"

namespace {

// None of these may block or yield bytes: a test that hangs here is the
// fault itself.
TEST(RegularFile, OnlyRegularFilesOpenAndNothingBlocks)
{
    TempHome home;
    const std::string fifo = (home.root / "x.pbk").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = (home.root / "folder.brk").string();
    std::filesystem::create_directory(folder);
    const std::string plain = (home.root / "plain.brk").string();
    std::ofstream(plain, std::ios::binary) << "VOSTBRK#";

    struct Case {
        std::string path;
        bool regular;
    };
    const Case cases[] = {
        {plain, true},       {fifo, false}, {folder, false}, {"/dev/zero", false}, {"/dev/urandom", false},
        {"/dev/null", false}, {"/proc/self/environ", false},   {(home.root / "missing").string(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::IsRegularFile(c.path), c.regular);
        const int fd = platform::OpenRegularFile(c.path, O_RDONLY);
        EXPECT_EQ(fd >= 0, c.regular);
        if (fd >= 0) {
            // Handed back blocking, for plain reads.
            EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
            ::close(fd);
        }
        std::vector<unsigned char> bytes{1, 2, 3};
        EXPECT_EQ(platform::ReadRegularFile(c.path, bytes, 1024), c.regular);
        EXPECT_EQ(bytes.size(), c.regular ? 8u : 0u);
        CFile file;
        CFileException error;
        EXPECT_EQ(file.Open(c.path.c_str(), CFile::modeRead, &error) != FALSE, c.regular);
    }

    // Writing a FIFO, with or without a reader at its other end, is refused
    // at once too; creating a new regular file is not.
    CFile writer;
    EXPECT_FALSE(writer.Open(fifo.c_str(), CFile::modeCreate | CFile::modeWrite));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(writer.Open(fifo.c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(errno, platform::kNotRegularFile);
    ::close(reader);
    EXPECT_TRUE(writer.Open((home.root / "new.brk").string().c_str(), CFile::modeCreate | CFile::modeWrite));
}

TEST(RegularFile, ReadRefusesFilesOverTheLimit)
{
    TempHome home;
    const std::string path = (home.root / "big").string();
    std::ofstream(path, std::ios::binary) << std::string(100, 'x');
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(platform::ReadRegularFile(path, bytes, 99));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(platform::ReadRegularFile(path, bytes, 100));
    EXPECT_EQ(bytes.size(), 100u);
}

}  // namespace
