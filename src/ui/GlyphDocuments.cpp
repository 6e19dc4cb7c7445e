#include "ui/GlyphDocuments.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QThread>

struct GlyphDocuments::Entry {
    bool parsed = false;
    std::unique_ptr<QSvgRenderer> document; // null when the file cannot be read
};

namespace {

std::unique_ptr<QSvgRenderer> parse(const QString& file, QThread* owner) {
    auto document = std::make_unique<QSvgRenderer>();
    if (!document->load(file) || !document->isValid())
        return nullptr;
    // Made here, painted on the owner's thread.
    if (document->thread() != owner)
        document->moveToThread(owner);
    return document;
}

} // namespace

GlyphDocuments::GlyphDocuments()
    : m_owner(QThread::currentThread()) {}

GlyphDocuments::~GlyphDocuments() {
    clear();
}

void GlyphDocuments::clear() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    if (m_thread.joinable())
        m_thread.join();
    const std::lock_guard lock(m_mutex);
    m_stop = false;
    m_running = false;
    m_entries.clear();
}

void GlyphDocuments::prefetch(const QStringList& names, Resolver resolve) {
    const auto shared = std::make_shared<const Resolver>(std::move(resolve));
    const std::lock_guard lock(m_mutex);
    for (const QString& name : names)
        m_queue.emplace_back(name, shared);
    if (m_running || m_queue.empty())
        return;
    // The last thread has run out of names and ended (or is ending): a new one takes these.
    if (m_thread.joinable())
        m_thread.join();
    try {
        m_thread = std::thread([this] { run(); });
        m_running = true;
    } catch (const std::system_error&) {
        m_queue.clear(); // no thread to be had: each file is parsed when it is first drawn
    }
}

void GlyphDocuments::run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop && !m_queue.empty()) {
        auto [name, resolve] = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        const QString file = (*resolve)(name);
        lock.lock();
        if (!m_stop && !file.isEmpty() && !m_entries.contains(file))
            parseClaimed(lock, file);
    }
    m_running = false;
}

QSvgRenderer* GlyphDocuments::parseClaimed(std::unique_lock<std::mutex>& lock, const QString& file) {
    // Claimed under the lock, parsed outside it: whoever else wants the file waits for this entry.
    auto entry = std::make_shared<Entry>();
    m_entries.insert(file, entry);
    lock.unlock();
    auto document = parse(file, m_owner);
    lock.lock();
    entry->document = std::move(document);
    entry->parsed = true;
    m_parsed.notify_all();
    return entry->document.get();
}

QSvgRenderer* GlyphDocuments::document(const QString& file) {
    std::unique_lock lock(m_mutex);
    if (const auto known = m_entries.constFind(file); known != m_entries.constEnd()) {
        const std::shared_ptr<Entry> entry = known.value();
        m_parsed.wait(lock, [&entry] { return entry->parsed; });
        return entry->document.get();
    }
    // Not come to yet: parsed here, and the thread leaves it alone.
    return parseClaimed(lock, file);
}

QImage GlyphDocuments::draw(const QString& file, const QSize& size) {
    QSvgRenderer* parsed = document(file);
    if (!parsed || size.isEmpty())
        return {};
    QSize drawn = parsed->defaultSize();
    if (drawn.isEmpty())
        return {};
    drawn.scale(size, Qt::KeepAspectRatio);
    QImage glyph(drawn, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    parsed->render(&painter, QRectF(QPointF(0, 0), drawn));
    return glyph;
}
