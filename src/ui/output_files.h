#pragma once
// Files written as one set, for the exported tables and the chart picture.
// Each file is first written to a temporary file beside its target; no target
// is replaced until every file of the set has been written in full, so a
// failure leaves neither a partial file nor a changed target behind. Missing
// directories are made as needed, and removed again when the set is dropped
// without being committed. Needs only Qt Core.

#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

class QSaveFile;

namespace envelope {

class OutputFiles {
public:
    OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    // Discards every file not yet committed, and the directories made for them.
    ~OutputFiles();

    // Writes the contents to a temporary file beside the target. False, with
    // problem() naming the file and the reason, when that cannot be done.
    bool add(const QString& fileName, const QByteArray& contents);
    // Puts every file in place of its target, in the order they were added.
    // Only a failure of the final rename itself can leave the files before it
    // replaced and those after it not.
    bool commit();

    const QString& problem() const { return problem_; }

private:
    bool makeDirectory(const QString& directory);
    bool fail(const QString& problem);

    std::vector<std::unique_ptr<QSaveFile>> files_;
    QStringList madeDirectories_;
    bool committed_ = false;
    QString problem_;
};

// What stands in the way of writing files into the directory, or an empty
// text when nothing does: a path that is not a directory, or a directory that
// cannot be written or, when it does not exist yet, cannot be made.
QString DirectoryTargetProblem(const QString& directory);

// What stands in the way of writing the file, or an empty text: a directory
// in its place, an existing file that may not be replaced, or a directory
// that cannot hold it (DirectoryTargetProblem).
QString FileTargetProblem(const QString& fileName);

} // namespace envelope
