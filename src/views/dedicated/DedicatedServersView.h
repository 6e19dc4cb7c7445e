#pragma once

// The section of the account's bare-metal servers: a searchable sidebar list beside the selected server's
// header band, numbered tab bar and tab content. The view keeps only its input state; every server value
// comes from the store's active snapshot on each refresh, every change goes through the store.

#include "model/Records.h"
#include "ui/Components.h"
#include "ui/HalvoSection.h"
#include "views/dedicated/DedicatedServerTab.h"
#include "views/dedicated/DedicatedServersState.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class AppStateStore;

class DedicatedServersView final : public QWidget {
    Q_OBJECT
public:
    static inline const QString& kDefaultIPXEUrl = kDedicatedDefaultIPXEUrl;
    static inline const QString& kExampleReverseHost = kDedicatedExampleReverseHost;

    using State = DedicatedServersState;

    explicit DedicatedServersView(AppStateStore& store, QWidget* parent = nullptr);
    ~DedicatedServersView() override;

    const State& state() const { return m_state; }
    /// Changes take effect at the next refresh (`section().schedule()` or `section().refreshNow()`).
    State& state() { return m_state; }
    /// The installation templates offered for a reinstallation, in picker order.
    const QStringList& bareMetalTemplates() const { return m_bareMetalTemplates; }

    // ---- derived values ----

    /// The snapshot's servers in stored order, narrowed by the store's search text over name, reverse,
    /// IPv4 address and data centre.
    QList<HalvoServer> filteredServers() const;
    /// The chosen server when it is listed, else the first listed one, else none.
    std::optional<HalvoServer> selectedServer() const;
    /// The tabs the server offers, in bar order.
    static QList<DedicatedServerTab> availableTabs(const HalvoServer& server);
    /// `activeTab` when the selected server offers it, else the first tab.
    DedicatedServerTab shownTab() const;

    // ---- operations shared by the header band and the power tab ----

    /// Raises the cold-reboot confirmation for the server as it is now.
    void confirmColdReboot(const HalvoServer& server) const;
    /// Raises the confirmation that switches the netboot between rescue system and local disk, decided by
    /// the server's boot type now.
    void confirmRescueToggle(const HalvoServer& server) const;

    using Section = HalvoSection<HalvoServer, DedicatedServerTab>;
    Section& section() { return *m_section; }
    HalvoSectionFrame* frame() const { return m_section->frame(); }
    /// The open IPMI console sheet, or nullptr.
    QDialog* ipmiSheet() const { return m_ipmiSheet->sheet(); }

private:
    void drawDetail(const HalvoServer& server, DedicatedServerTab shown);

    QWidget* tabContent(const HalvoServer& server, DedicatedServerTab tab);
    QWidget* ipmiConsoleSheet(const HalvoServer& server);
    /// Opens or closes the IPMI console sheet.
    void setShowIPMISheet(bool show);

    AppStateStore& m_store;
    State m_state;
    const QStringList m_bareMetalTemplates;

    std::unique_ptr<Section> m_section;
    std::unique_ptr<HalvoFlagSheet<QDialog, HalvoServer>> m_ipmiSheet;

    // What the detail shows now, so a refresh rebuilds only what changed.
    std::optional<HalvoServer> m_drawnServer;
    std::optional<DedicatedServerTab> m_drawnTab;
};
