#pragma once

// Reports a window's first painted frame and then ends the process: the start-up benchmark stops its clock on
// the report (the start) and again when the process has gone (the quit).

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
        // The window paints first in the pass that draws its frame; quitting on the next turn lets the pass
        // finish and the frame reach the screen.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::fputs(kPaintedLine, stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
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
