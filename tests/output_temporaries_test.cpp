// The removal of temporaries left behind in a user's folder: what a process
// that has ended left is removed, and nothing else ever is.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "output/temporary_names.h"

namespace envelope {
namespace {

namespace fs = std::filesystem;

enum class Kind { File, EmptyDirectory, FullDirectory, LinkToFile, LinkToDirectory };

TEST(StaleTemporaries, OnlyThoseOfAProcessThatHasEndedAreRemoved)
{
    // A process that has ended and been waited for: its id is free.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string live = std::to_string(::getppid());
    const std::string self = std::to_string(::getpid());

    struct Entry {
        std::string name;
        Kind kind;
        bool removed;
    };
    const Entry entries[] = {
        {".bubble.csv.envelope-tmp-" + dead + "-Ab12Cd", Kind::File, true},
        {".envelope-tmp-" + dead + "-x9Y8z7", Kind::EmptyDirectory, true},
        // What Qt left in a scratch directory stays, and the directory with it.
        {".envelope-tmp-" + dead + "-Qq1Qq1", Kind::FullDirectory, false},
        // Temporaries of processes that still run.
        {".dew.csv.envelope-tmp-" + live + "-Ab12Cd", Kind::File, false},
        {".dew.csv.envelope-tmp-" + self + "-Ab12Cd", Kind::File, false},
        // Names that merely look like ours.
        {"bubble.csv.envelope-tmp-" + dead + "-Ab12Cd", Kind::File, false},
        {".a.envelope-tmp-" + dead + "-Ab12C", Kind::File, false},
        {".a.envelope-tmp-" + dead + "-Ab12Cd7", Kind::File, false},
        {".a.envelope-tmp-" + dead + "-Ab-2Cd", Kind::File, false},
        {".a.envelope-tmp-" + dead + "-Ab12Cd.bak", Kind::File, false},
        {".a.envelope-tmp-0" + dead + "-Ab12Cd", Kind::File, false},
        {".a.envelope_tmp-" + dead + "-Ab12Cd", Kind::File, false},
        {".a.envelope-tmp-x" + dead + "-Ab12Cd", Kind::File, false},
        {".a.envelope-tmp-99999999999-Ab12Cd", Kind::File, false},
        // An id beyond any process's, which would wrap round to the ended one.
        {".a.envelope-tmp-" + std::to_string(4294967296LL + child) + "-Ab12Cd", Kind::File, false},
        // A link is never one of ours, whatever its name; nor is its target.
        {".link.envelope-tmp-" + dead + "-Ab12Cd", Kind::LinkToFile, false},
        {".envelope-tmp-" + dead + "-Ln4Ln4", Kind::LinkToDirectory, false},
    };

    std::string folder = (fs::temp_directory_path() / "stale-temporaries-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const fs::path target = fs::path(folder) / "target";
    fs::create_directory(target);
    std::ofstream(target / "file") << "kept";
    for (const Entry& entry : entries) {
        const fs::path path = fs::path(folder) / entry.name;
        if (entry.kind == Kind::File)
            std::ofstream(path) << "";
        if (entry.kind == Kind::EmptyDirectory || entry.kind == Kind::FullDirectory)
            fs::create_directory(path);
        if (entry.kind == Kind::FullDirectory)
            std::ofstream(path / "qt-file") << "";
        if (entry.kind == Kind::LinkToFile)
            fs::create_symlink(target / "file", path);
        if (entry.kind == Kind::LinkToDirectory)
            fs::create_directory_symlink(target, path);
    }

    RemoveStaleTemporaries(folder);

    for (const Entry& entry : entries)
        EXPECT_EQ(fs::exists(fs::symlink_status(fs::path(folder) / entry.name)), !entry.removed) << entry.name;
    EXPECT_TRUE(fs::exists(target / "file"));
    fs::remove_all(folder);
}

} // namespace
} // namespace envelope
