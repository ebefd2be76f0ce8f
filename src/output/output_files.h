#pragma once
// Files written as one set, for the exported tables and the chart picture.
// Each file is first written to a temporary file beside its target (see
// temporary_names.h); no target is replaced until every file of the set has
// been written in full, so a failure leaves neither a partial file nor a
// changed target behind. A symbolic link at a target is followed: the file
// it points at is replaced, and the link stays. Missing directories are
// made as needed, and removed again when the set is dropped without being
// committed. Until then SIGINT, SIGTERM and SIGHUP remove the temporaries and
// the directories made (interrupt_cleanup.h). Names are strings of bytes,
// used as given.

#include <string>
#include <string_view>
#include <vector>

namespace envelope {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    // Discards every file not yet committed, the scratch directories, and
    // the directories made for an uncommitted set.
    ~OutputFiles();

    // Writes the contents to a temporary file beside the target. False, with
    // problem() naming the file and the reason, when that cannot be done.
    bool add(const std::string& fileName, std::string_view contents);

    // Makes an empty private directory (mode 0700) beside the target, which
    // lives as long as the set; empty, with problem() set, when it cannot.
    std::string scratchDirectory(const std::string& target);

    // Puts every file in place of its target, in the order they were added,
    // with the signals above held back, so that an interrupt comes before
    // or after the whole set. Only a failing rename can leave the files
    // before it replaced and those after it not.
    bool commit();

    const std::string& problem() const { return problem_; }

private:
    struct Pending {
        std::string temporary;
        std::string target;
        int slot;
    };
    struct Made {
        std::string path;
        int slot;
    };

    bool makeDirectories(const std::string& directory);
    bool fail(std::string problem);

    std::vector<Pending> pending_;
    std::vector<Made> madeDirectories_;
    std::vector<Made> scratchDirectories_;
    std::vector<std::string> cleaned_;
    bool committed_ = false;
    std::string problem_;
};

} // namespace envelope
