#pragma once

// The tab "Hardware & Status": the server's hardware and service data as tiles, and the forms for its
// reverse DNS, data-centre monitoring, technician intervention and rescue e-mail.

#include "model/Records.h"
#include "views/dedicated/DedicatedServersState.h"

#include <QPointer>
#include <QWidget>

class AppStateStore;
class HalvoFormTextField;

class DedicatedServerHardwareTab final : public QWidget {
    Q_OBJECT
public:
    /// Built for the server as the detail shows it; the forms edit the state's reverse and rescue-mail inputs.
    DedicatedServerHardwareTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                               QWidget* parent = nullptr);

private:
    void saveReverse(const QString& serverName);
    void saveRescueMail(const QString& serverName);

    AppStateStore& m_store;
    DedicatedServersState& m_state;
    QPointer<HalvoFormTextField> m_reverseField;
    QPointer<HalvoFormTextField> m_rescueMailField;
};
