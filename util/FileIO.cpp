#include "util/FileIO.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now so that a late write error (NFS, quota) is seen; gives the errno or 0.
    int closeReportingError()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

QString openFailureText(int code)
{
    return QStringLiteral("打开文件失败：%1").arg(code);
}

QString writeFailureText(int code)
{
    return QStringLiteral("写文件错误：%1\n").arg(code);
}

bool writeAll(int fd, const char* data, std::int64_t size, int& code)
{
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            code = errno;
            return false;
        }
        done += n;
    }
    return true;
}

// A new file gets the mode that creating it in place would have given; a replaced one
// keeps its own.
mode_t modeForReplacement(const struct stat* existing)
{
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a symbolic link names: the end of its chain, or where a dangling link points.
QString linkTarget(const QString& link)
{
    const QFileInfo info(link);
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

// The file a write replaces, and what stands at its name now.
struct WriteTarget
{
    QByteArray path;
    std::optional<struct stat> existing;
};

// Where the bytes for the name go, or why they must not.
Result<WriteTarget> checkedTarget(const QString& path, LinkAtTarget links)
{
    const auto refused = [](QString message) {
        return Result<WriteTarget>{Outcome::failure(std::move(message)), {}};
    };
    WriteTarget target{QFile::encodeName(path), std::nullopt};
    struct stat status {};
    bool exists = ::lstat(target.path.constData(), &status) == 0;
    if (exists && S_ISLNK(status.st_mode)) {
        if (links == LinkAtTarget::Refuse)
            return refused(QStringLiteral("%1 是符号链接，不能写入").arg(path));
        // Writing through a link changes the file it names, not the link.
        target.path = QFile::encodeName(linkTarget(path));
        exists = ::stat(target.path.constData(), &status) == 0;
    }
    if (!exists)
        return {Outcome::success(), target};
    // Refuse what creating the file in place would refuse: a directory, a read-only file;
    // and what the rename would destroy rather than write: a device, a FIFO, a socket.
    if (S_ISDIR(status.st_mode))
        return refused(openFailureText(EISDIR));
    if (!S_ISREG(status.st_mode))
        return refused(QStringLiteral("%1 不是普通文件，不能写入").arg(path));
    if (::access(target.path.constData(), W_OK) != 0)
        return refused(openFailureText(errno));
    target.existing = status;
    return {Outcome::success(), target};
}

} // namespace

bool readFileBytes(const QString& path, QByteArray& bytes, FileReadFailure& failure, std::int64_t maxSize)
{
    const QByteArray nativePath = QFile::encodeName(path);
    // Non-blocking so that a FIFO without a writer cannot hang the program; regular files
    // ignore the flag.
    FileDescriptor file(::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        failure = {FileReadFailure::Step::Open, errno};
        return false;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        failure = {FileReadFailure::Step::Size, errno};
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        failure = {FileReadFailure::Step::read, EISDIR};
        return false;
    }
    if (status.st_size > maxSize) {
        failure = {FileReadFailure::Step::read, EFBIG};
        return false;
    }

    QByteArray buffer;
    buffer.resize(static_cast<qsizetype>(status.st_size));
    qsizetype done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::read(file.get(), buffer.data() + done, static_cast<size_t>(buffer.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                break;
            failure = {FileReadFailure::Step::read, errno};
            return false;
        }
        if (n == 0)
            break; // the file shrank while we read it: keep what was there
        done += n;
    }
    buffer.truncate(done);
    bytes = std::move(buffer);
    return true;
}

Result<QByteArray> readWholeFile(const QString& path)
{
    Result<QByteArray> read{Outcome::success(), {}};
    FileReadFailure failure;
    if (readFileBytes(path, read.value, failure))
        return read;
    switch (failure.step) {
    case FileReadFailure::Step::Open: read.outcome = Outcome::failure(openFailureText(failure.code)); break;
    case FileReadFailure::Step::Size:
        read.outcome = Outcome::failure(QStringLiteral("获取文件大小失败：%1").arg(failure.code));
        break;
    case FileReadFailure::Step::read:
        read.outcome = Outcome::failure(QStringLiteral("读文件错误：%1\n").arg(failure.code));
        break;
    }
    return read;
}

Outcome writeWholeFile(const QString& path, const QByteArray& bytes, LinkAtTarget links)
{
    const Result<WriteTarget> checked = checkedTarget(path, links);
    if (!checked)
        return checked.outcome;
    const WriteTarget& target = checked.value;

    // A short name of its own, so that a target whose name is as long as names may be still
    // has room beside it. mkostemp creates it exclusively: a link put there is never followed.
    const QString folder = QFileInfo(QFile::decodeName(target.path)).path();
    QByteArray temporaryPath = QFile::encodeName(folder + QLatin1String("/.korvel-XXXXXX"));
    FileDescriptor file(::mkostemp(temporaryPath.data(), O_CLOEXEC));
    if (file.get() < 0)
        return Outcome::failure(openFailureText(errno));

    int code = 0;
    bool written = writeAll(file.get(), bytes.constData(), bytes.size(), code);
    if (written && ::fchmod(file.get(), modeForReplacement(target.existing ? &*target.existing : nullptr)) != 0) {
        code = errno;
        written = false;
    }
    if (written && ::fsync(file.get()) != 0) {
        code = errno;
        written = false;
    }
    const int closeCode = file.closeReportingError();
    if (written && closeCode != 0) {
        code = closeCode;
        written = false;
    }
    // rename replaces whatever name stands there, a link put in place since the checks
    // included, and never follows it: the write stays where it was checked.
    if (written && ::rename(temporaryPath.constData(), target.path.constData()) != 0) {
        code = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporaryPath.constData());
        return Outcome::failure(writeFailureText(code));
    }
    return Outcome::success();
}

} // namespace korvel
