// SIGTERM at any moment of writing a set of files leaves neither a temporary
// nor a directory made for them, nor a set in part: also in a process with a
// thread of its own that the signal may reach (as Qt and graphics libraries
// start them).
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "output/output_files.h"

namespace envelope {
namespace {

namespace fs = std::filesystem;

const std::string Contents(1000, 'x');

// Writes sets of three files, each into a directory made for it, until stopped.
[[noreturn]] void WriteSetsUntilStopped(const std::string& root)
{
    std::thread([] {
        for (;;)
            ::pause();
    }).detach();
    for (int set = 0;; ++set) {
        OutputFiles files;
        for (const char* name : {"a.csv", "b.csv", "c.csv"})
            files.add(root + "/" + std::to_string(set) + "/" + name, Contents);
        files.commit();
    }
}

// The sets below root without their three complete files and nothing else.
std::string LeftBehind(const fs::path& root)
{
    std::string wrong;
    std::error_code none;
    for (const fs::directory_entry& set : fs::directory_iterator(root, none)) {
        int complete = 0;
        for (const fs::directory_entry& file : fs::directory_iterator(set))
            complete += file.path().filename().string()[0] != '.' && file.file_size() == Contents.size() ? 1 : -9;
        if (complete != 3)
            wrong += " " + set.path().filename().string();
    }
    return wrong;
}

TEST(InterruptCleanup, TerminatedAtAnyMomentLeavesCompleteSetsOnly)
{
    // Without disk writes most of the time goes to making, registering and
    // renaming files, where the signals are held back.
    const fs::path base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string folder = (base / "interrupt-cleanup-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> moment(0, 20000); // microseconds
    for (int round = 0; round < 60; ++round) {
        const std::string root = folder + "/" + std::to_string(round);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            WriteSetsUntilStopped(root);
        ::usleep(static_cast<useconds_t>(moment(random)));
        ::kill(child, SIGTERM);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        EXPECT_EQ(LeftBehind(root), "") << "round " << round;
    }
    fs::remove_all(folder);
}

} // namespace
} // namespace envelope
