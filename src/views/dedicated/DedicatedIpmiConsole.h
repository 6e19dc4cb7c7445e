#pragma once

// The content of the IPMI console sheet: an imitation of the server's serial console with its access
// endpoint and a copy of the Serial-over-LAN SSH address. Nothing in it connects to the server.

#include <QString>
#include <QStringList>
#include <QWidget>

class AppStateStore;
struct HalvoServer;

class DedicatedIpmiConsole final : public QWidget {
    Q_OBJECT
public:
    /// The host of the provider's Serial-over-LAN gateway, in the copied SSH address.
    static inline const QString kSolGatewayHost = QStringLiteral("sol.halvo.example");

    DedicatedIpmiConsole(AppStateStore& store, const HalvoServer& server, QWidget* parent = nullptr);

    /// The six lines of the console screen, in order.
    static QStringList consoleLines(const HalvoServer& server);
    /// The SSH address of the server's serial console, as copied.
    static QString solAddress(const HalvoServer& server);

Q_SIGNALS:
    /// The user pressed "Schließen" (the view clears `showIPMISheet`, which closes the sheet).
    void closeRequested();
};
