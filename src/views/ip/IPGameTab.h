#pragma once

// The IP view's game-firewall tab: the game DDoS protection card (a form that adds a UDP rule for a game
// profile, and the block's game rules) when the block supports it, and the card of blocked addresses when
// the block has any. The form's inputs live in the view's state.

#include "model/Records.h"
#include "views/ip/IPRdnsState.h"

#include <QStringList>
#include <QWidget>

class AppStateStore;

class IPGameTab final : public QWidget {
    Q_OBJECT
public:
    /// The port taken when the start field is empty or not a whole number.
    static constexpr qint64 kDefaultPort = 51820;

    IPGameTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent = nullptr);

    /// The ports the form stands for: the start field read as a whole number, else the default port; the end
    /// field read the same way, else the start port. No range check.
    static std::pair<qint64, qint64> portRange(const QString& startText, const QString& endText);
    /// The addresses whose block can be lifted: the ARP list, then the spam list, each address once.
    static QStringList blockedAddresses(const HalvoIPBlock& block);

    /// Adds a game rule for the profile and ports of the form; nothing is cleared.
    void addGameRule();

private:
    QWidget* buildGameCard();
    QWidget* buildBlockedCard(const QStringList& addresses);

    AppStateStore& m_store;
    IPRdnsState& m_state;
    HalvoIPBlock m_block;
};
