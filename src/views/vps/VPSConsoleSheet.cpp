#include "views/vps/VPSConsoleSheet.h"

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/Theme.h"
#include "views/vps/VPSRoundedPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <tuple>

namespace {

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

constexpr int kScreenLines = 4;

auto drawnFields(const HalvoVPS& vps) {
    return std::tuple(vps.name, vps.displayName, vps.ipv4, vps.ipv6);
}

constexpr int kSheetMaxWidth = 940;

} // namespace

VPSConsoleSheet::VPSConsoleSheet(AppStateStore& store, const HalvoVPS& vps, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_vps(vps) {
    setObjectName(QStringLiteral("vpsKvmConsoleSheet"));
    setWindowModality(Qt::WindowModal);
    // Well inside the smallest window, however long the names; the lines end in "…".
    setMaximumWidth(kSheetMaxWidth);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    titleRow->addWidget(halvo::theme::symbol(QStringLiteral("terminal.fill"), TextStyle::headline, Tint::primary));
    m_title = HalvoElidedLabel::make(QString(), TextStyle::headline);
    m_title->setObjectName(QStringLiteral("vpsConsoleTitle"));
    titleRow->addWidget(m_title);
    titleRow->addStretch();
    m_closeButton = new HalvoActionButton(QStringLiteral("Schließen"), HalvoButtonVariant::secondary, true);
    titleRow->addWidget(m_closeButton);
    column->addLayout(titleRow);

    auto* screen = new VPSRoundedPanel(halvo::theme::consoleBackground(), 10);
    screen->setObjectName(QStringLiteral("vpsConsoleScreen"));
    screen->setMinimumSize(640, 280);
    auto* lines = new QVBoxLayout(screen);
    lines->setContentsMargins(18, 18, 18, 18);
    lines->setSpacing(6);
    lines->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    for (int i = 0; i < kScreenLines; ++i) {
        QLabel* line = HalvoElidedLabel::make(QString(), TextStyle::callout, Weight::regular, Tint::green, true);
        halvo::theme::styleConsoleLine(line);
        lines->addWidget(line);
        m_lines.append(line);
    }
    column->addWidget(screen);

    auto* endpointRow = new QHBoxLayout;
    m_endpoint = HalvoElidedLabel::make(QString(), TextStyle::caption, Weight::regular, Tint::secondary);
    m_endpoint->setObjectName(QStringLiteral("vpsConsoleEndpoint"));
    endpointRow->addWidget(m_endpoint);
    endpointRow->addStretch();
    auto* ctrlAltDel =
        new HalvoActionButton(QStringLiteral("Strg+Alt+Entf senden"), HalvoButtonVariant::secondary, true);
    // The console is a rendering only: the key press is reported, not sent, and the sheet stays open.
    connect(ctrlAltDel, &QPushButton::clicked, this, [this] {
        m_store.setLastActionMessage(QStringLiteral("SysRq / Ctrl+Alt+Del an KVM-Konsole (") % m_vps.name %
                                     QStringLiteral(") gesendet."));
    });
    endpointRow->addWidget(ctrlAltDel);
    column->addLayout(endpointRow);

    redraw();
}

void VPSConsoleSheet::showVPS(const HalvoVPS& vps) {
    const bool changed = drawnFields(vps) != drawnFields(m_vps);
    m_vps = vps;
    if (changed)
        redraw();
}

QStringList VPSConsoleSheet::screenLines() const {
    QStringList texts;
    for (const QLabel* line : m_lines)
        texts.append(line->text());
    return texts;
}

void VPSConsoleSheet::redraw() {
    m_title->setText(QStringLiteral("Halvo KVM-over-WebSocket / VNC Konsole – ") % m_vps.displayName %
                     QStringLiteral(" (") % m_vps.ipv4 % QLatin1Char(')'));
    m_lines[0]->setText(QStringLiteral("Vevavavozi KVM Console Session – ") % m_vps.displayName % QStringLiteral(" (") %
                        m_vps.name % QLatin1Char(')'));
    m_lines[1]->setText(QStringLiteral("IPv4: ") % m_vps.ipv4 % QStringLiteral(" • IPv6: ") % m_vps.ipv6);
    m_lines[2]->setText(QString(80, QLatin1Char('-')));
    m_lines[3]->setText(m_vps.displayName % QStringLiteral(" login: _"));
    m_endpoint->setText(QStringLiteral(" Endpunkt: POST /vps/") % m_vps.name %
                        QStringLiteral("/openConsoleAccess (VNCOverWebSocket)"));
}
