#pragma once

// Test-made VPS records and a shown VPS view over a real store.

#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoSectionFrame.h"
#include "views/vps/VPSView.h"

#include <QLayout>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace halvo::test::vps {

inline HalvoVPS makeVPS(const QString& name, const QString& displayName,
                        const QString& state = QStringLiteral("running")) {
    HalvoVPS vps;
    vps.name = name;
    vps.displayName = displayName;
    vps.state = state;
    vps.modelName = QStringLiteral("vps-comfort-4-8-160");
    vps.vcore = 4;
    vps.memoryLimitMB = 8192;
    vps.diskSizeGB = 160;
    vps.zone = QStringLiteral("Region DE-FRA");
    vps.ipv4 = QStringLiteral("203.0.113.10");
    vps.ipv6 = QStringLiteral("2001:db8:10::1");
    vps.netbootMode = QStringLiteral("local");
    vps.slaMonitoring = false;
    vps.keymap = QStringLiteral("de");
    vps.snapshotSupported = true;
    vps.backupStorageSupported = false;
    return vps;
}

inline HalvoAccountSnapshot snapshotWith(const QList<HalvoVPS>& vpsList) {
    HalvoAccountSnapshot snapshot;
    snapshot.updatedAt = QDateTime::currentDateTimeUtc();
    snapshot.vpsList = vpsList;
    return snapshot;
}

/// A real store holding the given VPS and a VPS view over it, shown and settled.
struct ShownVPSView : SectionHarness<VPSView> {
    explicit ShownVPSView(const QList<HalvoVPS>& vpsList)
        : SectionHarness(StoreHarness::withSnapshot(snapshotWith(vpsList)), QSize(1180, 740)) {}

    HalvoVPS stored(const QString& name) {
        for (const HalvoVPS& vps : store().activeSnapshot().vpsList) {
            if (vps.name == name)
                return vps;
        }
        ADD_FAILURE() << "no VPS " << name.toStdString();
        return {};
    }

    /// The texts of the power card's buttons in the order of the row.
    QStringList powerButtons() const {
        QStringList texts;
        auto* bar = content() ? content()->findChild<QWidget*>(QStringLiteral("vpsPowerActionBar")) : nullptr;
        if (!bar || !bar->layout())
            return texts;
        for (int i = 0; i < bar->layout()->count(); ++i) {
            if (auto* button = qobject_cast<QAbstractButton*>(bar->layout()->itemAt(i)->widget()))
                texts.append(button->text());
        }
        return texts;
    }

    /// The tiles of the tile grid in the order of the grid.
    QList<HalvoSpecTile*> tiles() const {
        QList<HalvoSpecTile*> result;
        auto* grid = content() ? content()->findChild<QWidget*>(QStringLiteral("vpsSpecGrid")) : nullptr;
        if (!grid || !grid->layout())
            return result;
        for (int i = 0; i < grid->layout()->count(); ++i) {
            if (auto* tile = qobject_cast<HalvoSpecTile*>(grid->layout()->itemAt(i)->widget()))
                result.append(tile);
        }
        return result;
    }

    HalvoSpecTile* tile(const QString& label) const {
        for (HalvoSpecTile* tile : tiles()) {
            if (tile->spec().label == label)
                return tile;
        }
        return nullptr;
    }

    QAbstractButton* button(const QString& text) const { return buttonWithText(content(), text); }
};

} // namespace halvo::test::vps
