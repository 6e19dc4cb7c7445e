#include "views/dedicated/DedicatedIpmiConsole.h"

#include "model/Records.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

constexpr int kScreenInset = 18;
constexpr int kScreenMinWidth = 680;
// The sheet stays well inside the smallest window, however long the server's names; its lines end in "…".
constexpr int kSheetMaxWidth = 900;
constexpr int kScreenMinHeight = 280;

QString accessPath(const HalvoServer& server) {
    return QStringLiteral("POST /dedicated/server/") + server.name + QStringLiteral("/features/ipmi/access");
}

QFrame* consoleScreen(const HalvoServer& server) {
    auto* screen = new QFrame;
    screen->setObjectName(QStringLiteral("ipmiConsoleScreen"));
    screen->setMinimumSize(kScreenMinWidth, kScreenMinHeight);
    // The screen is black whatever the palette, clipped to rounded corners.
    screen->setStyleSheet(QStringLiteral("QFrame#ipmiConsoleScreen { background-color: ") +
                          theme::consoleBackground().name() + QStringLiteral("; border-radius: 10px; }"));
    auto* lines = new QVBoxLayout(screen);
    lines->setContentsMargins(kScreenInset, kScreenInset, kScreenInset, kScreenInset);
    lines->setSpacing(6);
    lines->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    for (const QString& line : DedicatedIpmiConsole::consoleLines(server)) {
        QLabel* label =
            HalvoElidedLabel::make(line, theme::TextStyle::callout, theme::Weight::regular, theme::Tint::green, true);
        theme::styleConsoleLine(label);
        lines->addWidget(label);
    }
    return screen;
}

} // namespace

DedicatedIpmiConsole::DedicatedIpmiConsole(AppStateStore& store, const HalvoServer& server, QWidget* parent)
    : QWidget(parent) {
    setMaximumWidth(kSheetMaxWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop);

    auto* header = new QHBoxLayout;
    header->addWidget(theme::symbol(QStringLiteral("display"), theme::TextStyle::headline, theme::Tint::primary));
    header->addWidget(HalvoElidedLabel::make(
        QStringLiteral("Halvo Dedicated IPMI / KVM HTML5 & Serial-over-LAN (SoL) – ") + server.name,
        theme::TextStyle::headline));
    header->addStretch();
    auto* close = new HalvoActionButton(QStringLiteral("Schließen"), HalvoButtonVariant::secondary, true);
    connect(close, &QPushButton::clicked, this, &DedicatedIpmiConsole::closeRequested);
    header->addWidget(close);
    layout->addLayout(header);

    layout->addWidget(consoleScreen(server));

    auto* footer = new QHBoxLayout;
    footer->addWidget(HalvoElidedLabel::make(QStringLiteral("Endpunkt: ") + accessPath(server),
                                             theme::TextStyle::caption, theme::Weight::regular,
                                             theme::Tint::secondary));
    footer->addStretch();
    auto* copy = new HalvoActionButton(QStringLiteral("SSH-URI für SoL kopieren"), HalvoButtonVariant::primary, true);
    connect(copy, &QPushButton::clicked, this, [&store, address = solAddress(server)] {
        halvo::ui::copyToClipboard(address);
        store.setLastActionMessage(QStringLiteral("Serial-over-LAN (SoL) SSH-URI in Zwischenablage kopiert."));
    });
    footer->addWidget(copy);
    layout->addLayout(footer);
}

QStringList DedicatedIpmiConsole::consoleLines(const HalvoServer& server) {
    return {
        QStringLiteral("AMI BIOS / UEFI - Vevavavozi Bare Metal Server ") + server.name,
        QStringLiteral("BMC / IPMI Session: ") + accessPath(server),
        QString(80, QLatin1Char('-')),
        QStringLiteral("OS: ") + server.os + QStringLiteral(" (") + server.reverse +
            QStringLiteral(") ttyS0 (115200 baud)"),
        QString(),
        server.reverse + QStringLiteral(" login: _"),
    };
}

QString DedicatedIpmiConsole::solAddress(const HalvoServer& server) {
    return QStringLiteral("ssh sol-") + server.name + QLatin1Char('@') + kSolGatewayHost;
}
