#pragma once

// Real files for the cache's failure tests: a scratch folder, on request a small file system of its own (a
// tmpfs mounted there while the test runs, which needs root), and the bytes of a file for comparing before
// and after.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace halvo::test {

class ScratchFileSystem {
public:
    /// A scratch folder; with `bytes` above 0 a tmpfs of about that size is mounted on it when the process
    /// may mount one (see isSmall()).
    explicit ScratchFileSystem(qint64 bytes = 0);
    ~ScratchFileSystem();
    ScratchFileSystem(const ScratchFileSystem&) = delete;
    ScratchFileSystem& operator=(const ScratchFileSystem&) = delete;

    /// Whether the small file system is mounted; otherwise the folder lies on the usual one.
    bool isSmall() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    /// Fills the file system up to its last byte with a file of its own; false when it is not small.
    bool fill();
    /// Removes what fill() wrote.
    void unfill();
    /// Makes the folder unwritable: the small file system is mounted again read-only, a plain folder loses
    /// its write permission (which does not hold for root). False when neither works.
    bool makeReadOnly();

    static bool isRoot();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_chmodded = false;
};

/// The whole content of a file (empty when it cannot be read).
QByteArray fileBytes(const QString& path);

} // namespace halvo::test
