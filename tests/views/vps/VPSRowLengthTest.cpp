#include "support/QtPrinters.h"
#include "views/vps/VPSRowDelegate.h"

#include <gtest/gtest.h>

TEST(VPSRowGeometry, ALongStateBadgeNeverCoversTheDotOrTheName) {
    for (const int length : {2, 12, 40, 120}) {
        HalvoVPS vps;
        vps.displayName = QStringLiteral("web-frontend-01");
        vps.name = QStringLiteral("vps-1a2b3c4d.vps.example.net");
        vps.state = QString(QStringLiteral("migrating")).repeated(20).left(length);
        vps.ipv4 = QStringLiteral("192.0.2.10");
        const QRect row(0, 0, 300, 70);
        const VPSRowDelegate::Geometry g = VPSRowDelegate::geometry(vps, row);
        EXPECT_GT(g.badge.left(), g.dot.right()) << length;
        EXPECT_GE(g.badge.left(), g.displayName.right()) << length;
        EXPECT_LE(g.badge.right(), row.right()) << length;
        // The name keeps at least half of the line.
        EXPECT_GE(g.displayName.width() + g.dot.width(), row.width() / 2 - 40) << length;
    }
}
