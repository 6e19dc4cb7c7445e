#pragma once

// Ends the process once a window has painted its first frame: the start-up benchmark times whole processes
// from their start to that moment.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace halvo::bench {

class FirstFrameWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window paints first in the pass that draws its frame; quitting on the next turn lets the pass
        // finish and the frame reach the screen.
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
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
