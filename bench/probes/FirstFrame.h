#pragma once

// Reports a window's first painted frame and then ends the process: the start-up benchmark stops its clock on
// the report (the start) and again when the process has gone (the quit). The window's own paint event comes
// first in the pass that draws the frame, before its children paint and the frame goes to the screen: the
// report waits for the pass to end.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace halvo::bench {

/// What the probe writes on its standard output when the window paints for the first time.
inline constexpr char kPaintedLine[] = "painted\n";

class FirstFrameWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The next turn of the event loop comes after the pass has painted every widget and flushed the frame.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                std::fputs(kPaintedLine, stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

inline void quitAfterFirstFrame(QWidget& window) {
    window.installEventFilter(new FirstFrameWatcher(&window));
}

} // namespace halvo::bench
