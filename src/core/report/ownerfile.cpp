// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ownerfile.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace report {

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

QString reason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("il disco è pieno");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case EACCES:
    case EPERM:
        return QStringLiteral("non c'è il permesso di scrivere in quella cartella");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("la cartella non esiste");
    case EISDIR:
        return QStringLiteral("al suo posto c'è una cartella");
    default:
        return QStringLiteral("errore di sistema %1").arg(error);
    }
}

QString failure(const QString& path, int error) {
    return QStringLiteral("Impossibile scrivere il registro in «%1»: %2.").arg(path, reason(error));
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

QString writeOwnerOnly(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) {
        return QStringLiteral("Impossibile scrivere il registro: manca il nome del file.");
    }
    const QByteArray target = QFile::encodeName(path);
    mode_t mode = kOwnerOnly;
    struct stat earlier {};
    if (::stat(target.constData(), &earlier) == 0) {
        if (S_ISDIR(earlier.st_mode)) {
            return failure(path, EISDIR);
        }
        mode = earlier.st_mode & kOwnerOnly;
    }
    QByteArray temporary = target + ".XXXXXX";
    // mkstemp creates the file 0600 whatever the umask, and never opens one that exists.
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return failure(path, errno);
    }
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
        return failure(path, error);
    }
    return {};
}

}  // namespace report
