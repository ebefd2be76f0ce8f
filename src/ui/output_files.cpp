#include "ui/output_files.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace envelope {

namespace {

QString Quoted(const QString& path)
{
    return QStringLiteral("'%1'").arg(QDir::toNativeSeparators(path));
}

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Asks the system itself, so that the answer holds for the user running the
// program, root and read-only file systems included.
bool MayAccess(const QString& path, int mode, int& error)
{
    if (::access(QFile::encodeName(path).constData(), mode) == 0)
        return true;
    error = errno;
    return false;
}

// The directory and those above it that do not exist yet, the nearest last,
// and the nearest one that does exist.
QStringList MissingDirectories(const QString& directory, QString& existing)
{
    QStringList missing;
    QString path = QDir::cleanPath(directory);
    while (!QFileInfo::exists(path)) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    existing = path;
    return missing;
}

} // namespace

OutputFiles::OutputFiles() = default;

OutputFiles::~OutputFiles()
{
    // Dropping an uncommitted QSaveFile removes its temporary file.
    files_.clear();
    if (committed_)
        return;
    for (auto made = madeDirectories_.crbegin(); made != madeDirectories_.crend(); ++made)
        QDir().rmdir(*made);
}

bool OutputFiles::fail(const QString& problem)
{
    problem_ = problem;
    return false;
}

bool OutputFiles::makeDirectory(const QString& directory)
{
    QString existing;
    for (const QString& path : MissingDirectories(directory, existing)) {
        if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
            return fail(QStringLiteral("cannot create directory %1: %2").arg(Quoted(path), SystemError(errno)));
        madeDirectories_ << path;
    }
    if (!QFileInfo(directory).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(Quoted(directory)));
    return true;
}

bool OutputFiles::add(const QString& fileName, const QByteArray& contents)
{
    if (!makeDirectory(QFileInfo(fileName).path()))
        return false;
    auto file = std::make_unique<QSaveFile>(fileName);
    if (!file->open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(Quoted(fileName), file->errorString()));
    if (file->write(contents) != contents.size())
        return fail(QStringLiteral("cannot write %1: %2").arg(Quoted(fileName), file->errorString()));
    files_.push_back(std::move(file));
    return true;
}

bool OutputFiles::commit()
{
    for (const std::unique_ptr<QSaveFile>& file : files_) {
        if (!file->commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(Quoted(file->fileName()), file->errorString()));
        // The directories now hold a file that is in place.
        committed_ = true;
    }
    committed_ = true;
    return true;
}

QString DirectoryTargetProblem(const QString& directory)
{
    int error = 0;
    const QFileInfo info(directory);
    if (info.exists()) {
        if (!info.isDir())
            return QStringLiteral("%1 is not a directory").arg(Quoted(directory));
        if (!MayAccess(info.absoluteFilePath(), W_OK | X_OK, error))
            return QStringLiteral("cannot write to directory %1: %2").arg(Quoted(directory), SystemError(error));
        return {};
    }
    QString existing;
    MissingDirectories(directory, existing);
    if (!QFileInfo(existing).isDir())
        return QStringLiteral("cannot create directory %1: %2 is not a directory")
            .arg(Quoted(directory), Quoted(existing));
    if (!MayAccess(existing, W_OK | X_OK, error))
        return QStringLiteral("cannot create directory %1: %2").arg(Quoted(directory), SystemError(error));
    return {};
}

QString FileTargetProblem(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return QStringLiteral("%1 is a directory").arg(Quoted(fileName));
    int error = 0;
    if (info.exists() && !MayAccess(info.absoluteFilePath(), W_OK, error))
        return QStringLiteral("cannot replace %1: %2").arg(Quoted(fileName), SystemError(error));
    return DirectoryTargetProblem(info.path());
}

} // namespace envelope
