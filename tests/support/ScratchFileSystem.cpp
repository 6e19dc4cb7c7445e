#include "support/ScratchFileSystem.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvo::test {

namespace {

const char* const kFiller = "filler";

} // namespace

ScratchFileSystem::ScratchFileSystem(qint64 bytes) {
    if (bytes <= 0 || !m_dir.isValid())
        return;
    const QByteArray target = QFile::encodeName(m_dir.path());
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    m_mounted = ::mount("tmpfs", target.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
}

ScratchFileSystem::~ScratchFileSystem() {
    const QByteArray target = QFile::encodeName(m_dir.path());
    if (m_chmodded)
        ::chmod(target.constData(), 0700);
    if (m_mounted)
        ::umount2(target.constData(), MNT_DETACH);
}

bool ScratchFileSystem::fill() {
    if (!m_mounted)
        return false;
    const QByteArray name = QFile::encodeName(filePath(QString::fromLatin1(kFiller)));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'x');
    // Whole blocks first, then single bytes into the last partly used block.
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

void ScratchFileSystem::unfill() {
    QFile::remove(filePath(QString::fromLatin1(kFiller)));
}

bool ScratchFileSystem::makeReadOnly() {
    const QByteArray target = QFile::encodeName(m_dir.path());
    if (m_mounted)
        return ::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    if (isRoot())
        return false;
    m_chmodded = ::chmod(target.constData(), 0500) == 0;
    return m_chmodded;
}

bool ScratchFileSystem::isRoot() {
    return ::geteuid() == 0;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace halvo::test
