#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum {

namespace {

QString cannotOpen(const QString& path, const QString& reason = {})
{
    const QString shown = QFileInfo(path).absoluteFilePath();
    return reason.isEmpty() ? QStringLiteral("Cannot open file %1").arg(shown)
                            : QStringLiteral("Cannot open file %1: %2").arg(shown, reason);
}

QString sizeText(qint64 bytes)
{
    if (bytes >= (1 << 20))
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 KiB").arg(bytes >> 10);
}

}  // namespace

RegularFile::~RegularFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RegularFile::open(const QString& path, qint64 maxBytes, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = cannotOpen(path, reason);
        return false;
    };
    if (path.isEmpty())
        return fail({});
    // Non-blocking, so that opening a FIFO returns at once; what it is counts only once
    // it is open, so that nothing can be swapped in between.
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return fail({});
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return fail({});
    if (!S_ISREG(st.st_mode))
        return fail(S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder") : QStringLiteral("it is not a regular file"));
    if (st.st_size > maxBytes)
        return fail(QStringLiteral("it is %1, more than the %2 such a file may have")
                        .arg(sizeText(st.st_size), sizeText(maxBytes)));
    size_ = st.st_size;
    return true;
}

QByteArray RegularFile::read(qint64 n)
{
    QByteArray out;
    if (fd_ < 0)
        return out;
    const qint64 want = std::min(n, size_ - done_);
    if (want <= 0)
        return out;
    out.resize(want);
    qint64 got = 0;
    while (got < want) {
        const ssize_t r = ::read(fd_, out.data() + got, static_cast<size_t>(want - got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            failed_ = r < 0;
            break;  // shorter than it was: what there is
        }
        got += r;
    }
    out.resize(got);
    done_ += got;
    return out;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* error)
{
    RegularFile file;
    if (!file.open(path, maxBytes, error))
        return std::nullopt;
    QByteArray bytes = file.read(file.size());
    if (file.failed()) {
        if (error)
            *error = cannotOpen(path);
        return std::nullopt;
    }
    return bytes;
}

bool isReadableRegularFile(const QString& path, qint64 maxBytes, QString* error)
{
    RegularFile file;
    return file.open(path, maxBytes, error);
}

}  // namespace kestrum
