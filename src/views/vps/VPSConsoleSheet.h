#pragma once

// The KVM console sheet of the VPS detail: a static rendering of the console screen of one VPS, with the
// endpoint it would use and a button that reports a Ctrl+Alt+Del.

#include "model/Records.h"

#include <QDialog>
#include <QStringList>

class AppStateStore;
class HalvoActionButton;
class QLabel;
class QVBoxLayout;

class VPSConsoleSheet final : public QDialog {
    Q_OBJECT
public:
    VPSConsoleSheet(AppStateStore& store, const HalvoVPS& vps, QWidget* parent = nullptr);

    /// Shows the console of this VPS; redraws only when something the sheet shows of it changed.
    void showVPS(const HalvoVPS& vps);
    const HalvoVPS& vps() const { return m_vps; }

    /// The "Schließen" button; the owner decides what closing means.
    HalvoActionButton* closeButton() const { return m_closeButton; }
    /// The lines of the console screen, top to bottom.
    QStringList screenLines() const;

private:
    void redraw();

    AppStateStore& m_store;
    HalvoVPS m_vps;
    HalvoActionButton* m_closeButton = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_endpoint = nullptr;
    QList<QLabel*> m_lines;
};
