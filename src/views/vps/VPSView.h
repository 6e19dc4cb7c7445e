#pragma once

// The VPS section: the active account's virtual servers in a searchable sidebar, the shown server in a
// detail column (header band with the console button, value tiles, power card and the places of
// the snapshot and reinstallation cards).

#include "model/Records.h"
#include "ui/HalvoSection.h"
#include "views/vps/VPSConsoleSheet.h"
#include "views/vps/VPSState.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class AppStateStore;

class VPSView final : public QWidget {
    Q_OBJECT
public:
    using State = VPSState;

    explicit VPSView(AppStateStore& store, QWidget* parent = nullptr);
    ~VPSView() override;

    const State& state() const { return m_state; }
    State& state() { return m_state; }
    /// The cloud images offered for reinstallation, in the order shown.
    const QStringList& availableImages() const { return m_availableImages; }

    /// The active snapshot's VPS, narrowed by the store's search text (name, display name, IPv4).
    QList<HalvoVPS> filteredVPS() const;
    /// The chosen VPS when it is listed, else the first listed one, else none.
    std::optional<HalvoVPS> selectedVPS() const;

    /// Ask before rebooting, booting into rescue or powering off the VPS.
    void confirmReboot(const HalvoVPS& vps);
    void confirmRescue(const HalvoVPS& vps);
    void confirmStop(const HalvoVPS& vps);
    /// Ask before resetting the VPS's disk to its stored snapshot.
    void confirmSnapshotRevert(const HalvoVPS& vps);
    /// Ask, with the VPS name to be typed, before reinstalling it with the chosen image.
    void confirmRebuild(const HalvoVPS& vps);

    /// Opens or closes the console sheet.
    void setShowKVMModal(bool show);
    /// The console sheet while it is open, else nullptr.
    VPSConsoleSheet* kvmSheet() const { return m_kvmSheet->sheet(); }

    using Section = HalvoSection<HalvoVPS>;
    Section& section() { return *m_section; }
    HalvoSectionFrame* frame() const { return m_section->frame(); }

private:
    void drawDetail(const HalvoVPS& shown);
    QWidget* buildHeader(const HalvoVPS& vps);
    QWidget* buildContent(const HalvoVPS& vps);
    QWidget* buildSpecGrid(const HalvoVPS& vps);
    QWidget* buildPowerCard(const HalvoVPS& vps);
    /// The VPS of the active snapshot with that name, as it is now.
    std::optional<HalvoVPS> currentVPS(const QString& name) const;

    AppStateStore& m_store;
    State m_state;
    const QStringList m_availableImages;
    std::unique_ptr<Section> m_section;
    std::unique_ptr<HalvoFlagSheet<VPSConsoleSheet, HalvoVPS>> m_kvmSheet;
    /// What the detail shows now, so a refresh rebuilds it only when it changed.
    std::optional<HalvoVPS> m_drawnVPS;
};
