#include "ui/Components.h"

#include "support/QtPrinters.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoIconTile.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using halvo::test::settle;
using halvo::theme::Tint;

namespace {

HalvoSpecTile::Spec ipTile() {
    HalvoSpecTile::Spec spec;
    spec.label = QStringLiteral("Primäre IPv4");
    spec.value = QStringLiteral("192.0.2.10");
    spec.subvalue = QStringLiteral("Anti-DDoS Tidewall geschützt");
    spec.icon = QStringLiteral("network");
    spec.tint = Tint::blue;
    return spec;
}

/// Puts rich content on the clipboard, so a copy that does not clear it first leaves the HTML behind.
void fillClipboardWithHtml() {
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<b>alt</b>"));
    data->setText(QStringLiteral("alt"));
    QGuiApplication::clipboard()->setMimeData(data);
}

QColor centreLeftPixel(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    return image.pixelColor(4, image.height() / 2);
}

} // namespace

TEST(SpecTile, CopyChipPutsExactlyTheTextAndCallsOnCopyOnce) {
    QStringList copied;
    auto spec = ipTile();
    spec.copyValue = QStringLiteral(" 192.0.2.10\n");
    spec.onCopy = [&](const QString& text) {
        // The clipboard already holds the text when the callback runs.
        EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
        copied.append(text);
    };
    HalvoSpecTile tile(spec);
    tile.show();
    ASSERT_NE(tile.copyButton(), nullptr);
    EXPECT_EQ(tile.copyButton()->text(), QStringLiteral("Kopieren"));

    fillClipboardWithHtml();
    halvo::test::click(tile.copyButton());

    EXPECT_EQ(copied, QStringList{QStringLiteral(" 192.0.2.10\n")});
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral(" 192.0.2.10\n"));
    EXPECT_FALSE(data->hasHtml());
}

TEST(SpecTile, WithoutOnCopyItCopiesSilentlyAndWithoutCopyValueHasNoChip) {
    auto spec = ipTile();
    spec.copyValue = QStringLiteral("backup.example.net");
    HalvoSpecTile silent(spec);
    silent.show();
    halvo::test::click(silent.copyButton());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("backup.example.net"));

    HalvoSpecTile plain(ipTile());
    EXPECT_EQ(plain.copyButton(), nullptr);
    EXPECT_FALSE(halvo::test::hasButton(&plain, QStringLiteral("Kopieren")));
    EXPECT_TRUE(halvo::test::hasLabel(&plain, QStringLiteral("192.0.2.10")));
    EXPECT_TRUE(halvo::test::hasLabel(&plain, QStringLiteral("Anti-DDoS Tidewall geschützt")));

    auto noSub = ipTile();
    noSub.subvalue.reset();
    HalvoSpecTile withoutSubvalue(noSub);
    EXPECT_FALSE(halvo::test::hasLabel(&withoutSubvalue, QStringLiteral("Anti-DDoS Tidewall geschützt")));
}

TEST(StatusBadge, DotWithoutIconSymbolWithIcon) {
    HalvoStatusBadge plain(QStringLiteral("RUNNING"), Tint::green);
    EXPECT_EQ(plain.text(), QStringLiteral("RUNNING"));
    EXPECT_EQ(plain.property("tint").toString(), QStringLiteral("green"));
    EXPECT_TRUE(halvo::test::hasLabel(&plain, QStringLiteral("RUNNING")));
    int dots = 0;
    int symbols = 0;
    for (const QLabel* label : plain.findChildren<QLabel*>()) {
        if (label->property("symbolName").isValid())
            ++symbols;
        else if (!label->pixmap().isNull())
            ++dots;
    }
    EXPECT_EQ(dots, 1);
    EXPECT_EQ(symbols, 0);

    HalvoStatusBadge withIcon(QStringLiteral("BOOT: LOCAL"), Tint::blue, QStringLiteral("internaldrive.fill"));
    QStringList names;
    for (const QLabel* label : withIcon.findChildren<QLabel*>()) {
        if (label->property("symbolName").isValid())
            names.append(label->property("symbolName").toString());
    }
    EXPECT_EQ(names, QStringList{QStringLiteral("internaldrive.fill")});
}

TEST(FormTextField, EditsReachTheBindingAndReloadTakesItBack) {
    QString bound = QStringLiteral("pn-");
    HalvoFormTextField field(QStringLiteral("Meshbay"), &bound);
    field.show();
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("pn-"));
    EXPECT_EQ(field.lineEdit()->placeholderText(), QStringLiteral("Meshbay"));
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(field.findChild<QPushButton*>(), nullptr);

    QStringList edits;
    QObject::connect(&field, &HalvoFormTextField::edited, &field, [&](const QString& t) { edits.append(t); });
    QTest::keyClicks(field.lineEdit(), QStringLiteral("a "));
    EXPECT_EQ(bound, QStringLiteral("pn-a ")); // as typed, never trimmed
    EXPECT_EQ(edits, (QStringList{QStringLiteral("pn-a"), QStringLiteral("pn-a ")}));

    field.lineEdit()->setText(QStringLiteral("set"));
    EXPECT_EQ(bound, QStringLiteral("set"));

    edits.clear();
    bound.clear();
    field.reload();
    EXPECT_EQ(field.lineEdit()->text(), QString());
    EXPECT_TRUE(edits.isEmpty());
}

TEST(FormTextField, SecureFieldHidesAndRevealSwitchShows) {
    QString secret;
    HalvoFormTextField field(QStringLiteral("Secret"), &secret, true);
    field.show();
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Password);
    auto* reveal = field.findChild<QPushButton*>(QStringLiteral("halvoRevealSwitch"));
    ASSERT_NE(reveal, nullptr);
    halvo::test::click(reveal);
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Normal);
    halvo::test::click(reveal);
    EXPECT_EQ(field.lineEdit()->echoMode(), QLineEdit::Password);
    QTest::keyClicks(field.lineEdit(), QStringLiteral("s3"));
    EXPECT_EQ(secret, QStringLiteral("s3"));
}

TEST(ActionButton, VariantDecidesTheFillAndChangesInPlace) {
    HalvoActionButton button(QStringLiteral("Record löschen"), HalvoButtonVariant::danger, true,
                             QStringLiteral("trash"));
    button.show();
    settle();
    EXPECT_TRUE(button.isSmall());
    EXPECT_EQ(button.variant(), HalvoButtonVariant::danger);
    EXPECT_EQ(button.property("variant").toString(), QStringLiteral("danger"));
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_EQ(centreLeftPixel(button).rgb(), halvo::theme::buttonColor(HalvoButtonVariant::danger).rgb());

    button.setVariant(HalvoButtonVariant::secondary);
    settle();
    EXPECT_EQ(button.property("variant").toString(), QStringLiteral("secondary"));
    EXPECT_EQ(centreLeftPixel(button).rgb(), halvo::theme::buttonColor(HalvoButtonVariant::secondary).rgb());

    // An ampersand is part of the title: no mnemonic shortcut, and the width leaves room to draw it.
    HalvoActionButton tab(QStringLiteral("1. Hardware & Status"), HalvoButtonVariant::primary, true);
    EXPECT_TRUE(tab.shortcut().isEmpty());
    HalvoActionButton without(QStringLiteral("1. Hardware  Status"), HalvoButtonVariant::primary, true);
    EXPECT_EQ(tab.sizeHint().width(),
              without.sizeHint().width() + tab.fontMetrics().horizontalAdvance(QLatin1Char('&')));

    HalvoActionButton large(QStringLiteral("KVM"), HalvoButtonVariant::primary);
    EXPECT_FALSE(large.isSmall());
    EXPECT_GT(large.sizeHint().height(), button.sizeHint().height());
}

TEST(SectionCard, TitleSubtitleAndContent) {
    HalvoSectionCard card(QStringLiteral("Rechenzentrum-Tasks"), QStringLiteral("Live-Protokoll"),
                          QStringLiteral("checklist"), Tint::blue);
    auto* inside = new QLabel(QStringLiteral("inhalt"));
    card.addContent(inside);
    EXPECT_EQ(inside->parentWidget(), &card);
    EXPECT_EQ(card.contentLayout()->indexOf(inside), 0);
    EXPECT_EQ(halvo::test::labelTexts(&card),
              (QStringList{QString(), QStringLiteral("Rechenzentrum-Tasks"), QStringLiteral("Live-Protokoll"),
                           QStringLiteral("inhalt")}));

    HalvoSectionCard bare(QStringLiteral("Titel"), std::nullopt, QStringLiteral("checklist"), Tint::blue);
    EXPECT_EQ(halvo::test::labelTexts(&bare), (QStringList{QString(), QStringLiteral("Titel")}));
}

TEST(UiHelpers, ClearLayoutDeletesWidgetsLaterAndEmptiesNestedLayouts) {
    QWidget host;
    auto* column = new QVBoxLayout(&host);
    QPointer<QLabel> first = new QLabel(QStringLiteral("a"));
    column->addWidget(first);
    auto* nested = new QHBoxLayout;
    QPointer<QLabel> second = new QLabel(QStringLiteral("b"));
    nested->addWidget(second);
    column->addLayout(nested);
    column->addStretch(1);

    halvo::ui::clearLayout(column);
    EXPECT_EQ(column->count(), 0);
    EXPECT_FALSE(first.isNull()); // deferred: it may be the sender being handled
    EXPECT_FALSE(first->isVisible());
    settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

TEST(UiHelpers, ListRowAndDivider) {
    std::unique_ptr<QFrame> row(halvo::ui::listRow(10, 6));
    ASSERT_NE(row->layout(), nullptr);
    EXPECT_EQ(row->layout()->contentsMargins(), QMargins(10, 6, 10, 6));
    EXPECT_EQ(row->objectName(), QStringLiteral("halvoListRow"));

    std::unique_ptr<QFrame> line(halvo::ui::divider());
    EXPECT_EQ(line->maximumHeight(), 1);
    std::unique_ptr<QFrame> upright(halvo::ui::divider(nullptr, true));
    EXPECT_EQ(upright->maximumWidth(), 1);
}

namespace {

/// The box of the light (symbol) pixels painted on a tile, looked for inside the rounded corners, where the
/// tile's gradient is all around.
QRect whiteBox(QWidget& tile) {
    const QImage image = tile.grab().toImage();
    constexpr int kInset = 8;
    QRect box;
    for (int y = kInset; y < image.height() - kInset; ++y) {
        for (int x = kInset; x < image.width() - kInset; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 160 && c.green() > 160 && c.blue() > 160)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

TEST(IconTile, SymbolIs28PointsForDomainsVPSAndServers26ForIPBlocks) {
    using halvo::theme::IconTileKind;
    const int domain = halvo::theme::iconTileSymbolSize(IconTileKind::domain);
    const int block = halvo::theme::iconTileSymbolSize(IconTileKind::ipBlock);
    EXPECT_EQ(halvo::theme::iconTileSymbolSize(IconTileKind::vps), domain);
    EXPECT_EQ(halvo::theme::iconTileSymbolSize(IconTileKind::dedicatedServer), domain);
    EXPECT_GT(domain, block);
    EXPECT_NEAR(double(domain) / block, 28.0 / 26.0, 0.06);
    // 26 points is the large title beside a 13-point body.
    EXPECT_EQ(block, halvo::theme::symbolSize(halvo::theme::TextStyle::largeTitle));

    // Painted: the same symbol on a domain tile is drawn larger than on an IP block tile, centred on both.
    const QString symbol = QStringLiteral("globe.europe.africa.fill");
    HalvoIconTile domainTile(symbol, IconTileKind::domain);
    HalvoIconTile blockTile(symbol, IconTileKind::ipBlock);
    const QRect large = whiteBox(domainTile);
    const QRect small = whiteBox(blockTile);
    ASSERT_FALSE(large.isEmpty());
    ASSERT_FALSE(small.isEmpty());
    EXPECT_GT(large.height(), small.height());
    EXPECT_LE(large.height(), domain);
    EXPECT_GE(large.height(), domain * 3 / 4);
    for (const auto& [tile, box] : {std::pair{&domainTile, large}, std::pair{&blockTile, small}}) {
        EXPECT_NEAR(box.center().x(), tile->width() / 2.0, 2.0);
        EXPECT_NEAR(box.center().y(), tile->height() / 2.0, 2.0);
    }
}
