#pragma once

// The vector files of the theme's glyphs, each read and parsed once per process: a symbol drawn at a new size is
// only painted again. The files the theme knows can be parsed ahead on a thread of their own while the window is
// being built, so that drawing the first window's symbols finds most of them parsed.

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QSvgRenderer;
class QThread;

class GlyphDocuments {
public:
    /// Finds the file of a glyph by its name; empty when there is none. Called on the parsing thread.
    using Resolver = std::function<QString(const QString& name)>;

    GlyphDocuments();
    /// Stops the parsing thread after the file it is at.
    ~GlyphDocuments();
    GlyphDocuments(const GlyphDocuments&) = delete;
    GlyphDocuments& operator=(const GlyphDocuments&) = delete;

    /// Parses the files of `names` in their order on the parsing thread; files parsed or being parsed already are
    /// left alone. The thread runs while there are names left.
    void prefetch(const QStringList& names, Resolver resolve);

    /// Stops the parsing thread after the file it is at and lets go of every parsed file. For the end of the
    /// application: the parsed files are toolkit objects, which must not outlive it.
    void clear();

    /// The glyph of `file` drawn at its own proportions as large as fits in `size`; a null image when the file
    /// cannot be read as a vector picture. Waits for the file when the parsing thread is at it, parses it here
    /// when the thread has not come to it. Called on the thread that made this object.
    QImage draw(const QString& file, const QSize& size);

private:
    struct Entry;
    QSvgRenderer* document(const QString& file);
    QSvgRenderer* parseClaimed(std::unique_lock<std::mutex>& lock, const QString& file);
    void run();

    QThread* m_owner;
    std::mutex m_mutex;
    std::condition_variable m_parsed;
    QHash<QString, std::shared_ptr<Entry>> m_entries;                        // by file
    std::deque<std::pair<QString, std::shared_ptr<const Resolver>>> m_queue; // names still to parse, and how
    bool m_stop = false;
    bool m_running = false;
    std::thread m_thread;
};
