#pragma once

// The header band of the dedicated-server detail: what the server is, its power, boot and service state at
// a glance, and the three operations used most. The operations go up to the view, which confirms them.

#include "model/Records.h"

#include <QWidget>

class DedicatedServerHeader final : public QWidget {
    Q_OBJECT
public:
    explicit DedicatedServerHeader(const HalvoServer& server, QWidget* parent = nullptr);

Q_SIGNALS:
    void ipmiConsoleRequested();
    void coldRebootRequested(const HalvoServer& server);
    void rescueToggleRequested(const HalvoServer& server);
};
