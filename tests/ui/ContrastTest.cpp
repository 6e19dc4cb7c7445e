#include "support/Contrast.h"

#include "support/WidgetFinders.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>
#include <vector>

using namespace halvo::theme;
using halvo::test::contrastRatio;
using halvo::test::over;

namespace {

constexpr double kText = 4.5;
constexpr double kGraphic = 3.0;

const Tint kAllTints[] = {Tint::blue,   Tint::green,  Tint::orange, Tint::red,  Tint::purple,  Tint::teal,
                          Tint::indigo, Tint::yellow, Tint::pink,   Tint::gray, Tint::primary, Tint::secondary};
const HalvoButtonVariant kAllVariants[] = {HalvoButtonVariant::primary, HalvoButtonVariant::success,
                                           HalvoButtonVariant::warning, HalvoButtonVariant::danger,
                                           HalvoButtonVariant::purple,  HalvoButtonVariant::secondary};

struct Surface {
    const char* name;
    QColor color; // opaque
};

// Every surface the theme lays text on, composed as the widgets stack them.
std::vector<Surface> textSurfaces() {
    return {
        {"window", windowBackground()},
        {"card", cardBackground()},
        {"sidebar", sidebarBackground()},
        {"list row", over(listRowBackground(), cardBackground())},
        {"header band", over(headerBandBackground(), windowBackground())},
        {"tab bar", over(tabBarBackground(), windowBackground())},
        {"selected row", selectionBackground()},
    };
}

// Where badges are placed: cards, their rows, sidebars and header bands.
std::vector<Surface> badgeSurfaces() {
    return {
        {"card", cardBackground()},
        {"sidebar", sidebarBackground()},
        {"list row", over(listRowBackground(), cardBackground())},
        {"header band", over(headerBandBackground(), windowBackground())},
    };
}

struct Pair {
    std::string name;
    QColor foreground;
    QColor background;
    double minimum;
};

std::vector<Pair> themePairs() {
    std::vector<Pair> pairs;
    for (const Surface& surface : textSurfaces()) {
        for (const Tint tint : kAllTints) {
            pairs.push_back(
                {tintName(tint).toStdString() + " text on " + surface.name, color(tint), surface.color, kText});
        }
        pairs.push_back({std::string("focus ring on ") + surface.name, focusRingColor(), surface.color, kGraphic});
        pairs.push_back(
            {std::string("scroll handle on ") + surface.name, scrollHandleColor(), surface.color, kGraphic});
    }
    for (const Surface& surface : badgeSurfaces()) {
        for (const Tint tint : kAllTints) {
            pairs.push_back({tintName(tint).toStdString() + " badge on " + surface.name, color(tint),
                             over(badgeBackground(tint), surface.color), kText});
        }
    }
    for (const HalvoButtonVariant variant : kAllVariants) {
        const QColor fill = buttonColor(variant);
        pairs.push_back({variantName(variant).toStdString() + " button", buttonTextColor(variant), fill, kText});
        // A coloured fill touches the ring; it must stay apart from it.
        if (variant != HalvoButtonVariant::secondary)
            pairs.push_back(
                {variantName(variant).toStdString() + " button beside the ring", focusRingColor(), fill, 2.0});
    }
    pairs.push_back({"console line", consoleTextColor(), consoleBackground(), kText});
    pairs.push_back({"copy chip", color(Tint::blue), over(color(Tint::blue, 0.12), cardBackground()), kText});
    pairs.push_back({"warning box", color(Tint::primary), over(color(Tint::orange, 0.12), cardBackground()), kText});
    pairs.push_back(
        {"warning box in a sheet", color(Tint::primary), over(color(Tint::orange, 0.12), windowBackground()), kText});

    // The application palette: what plain widgets and the style draw with.
    const QPalette palette = QApplication::palette();
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> roles[] = {
        {QPalette::WindowText, QPalette::Window},    {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},    {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::PlaceholderText, QPalette::Base}, {QPalette::ToolTipText, QPalette::ToolTipBase},
        {QPalette::Text, QPalette::AlternateBase},   {QPalette::HighlightedText, QPalette::Base},
    };
    for (const auto& [text, background] : roles) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            pairs.push_back({"palette " + std::to_string(int(group)) + ":" + std::to_string(int(text)) + " on " +
                                 std::to_string(int(background)),
                             palette.color(group, text), palette.color(group, background), kText});
        }
    }
    return pairs;
}

} // namespace

TEST(Contrast, RatioFollowsTheGuidelines) {
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(118, 118, 118), Qt::white), 4.54, 0.01);
    EXPECT_NEAR(contrastRatio(QColor(0, 122, 255), Qt::white), 4.02, 0.01);
    EXPECT_EQ(over(QColor(0, 0, 0, 0), Qt::white), QColor(Qt::white));
    EXPECT_EQ(over(QColor(0, 0, 0, 255), Qt::white), QColor(Qt::black));
}

TEST(Contrast, EveryPairOfTheThemeIsReadable) {
    const std::vector<Pair> pairs = themePairs();
    EXPECT_GT(pairs.size(), 150u);
    for (const Pair& pair : pairs) {
        const double ratio = contrastRatio(pair.foreground, pair.background);
        EXPECT_GE(ratio, pair.minimum) << pair.name << ": " << pair.foreground.name().toStdString() << " on "
                                       << pair.background.name().toStdString();
    }
}

TEST(Contrast, SelectionAndDisabledLooksAreTheirOwn) {
    // Selected text and rows keep the text colour on a pale fill, never white on a tint.
    EXPECT_EQ(QApplication::palette().color(QPalette::HighlightedText), color(Tint::primary));
    EXPECT_GE(contrastRatio(color(Tint::secondary), selectionBackground()), kText);
    // A disabled button differs from every enabled variant.
    for (const HalvoButtonVariant variant : kAllVariants) {
        EXPECT_NE(disabledButtonColor().rgb(), buttonColor(variant).rgb()) << variantName(variant).toStdString();
        EXPECT_NE(disabledButtonTextColor().rgb(), buttonTextColor(variant).rgb())
            << variantName(variant).toStdString();
    }
}

namespace {

int pixelsOf(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == color.rgb() ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Contrast, ScrollHandleShowsOnAWhiteCard) {
    QScrollArea area;
    area.setStyleSheet(QStringLiteral("QScrollArea { background: white; }"));
    auto* tall = new QWidget;
    tall->setMinimumSize(100, 2000);
    area.setWidget(tall);
    area.resize(200, 300);
    area.show();
    halvo::test::settle();
    const QImage bar = area.verticalScrollBar()->grab().toImage();
    ASSERT_FALSE(bar.isNull());
    // The handle is drawn in the theme's handle colour, a solid run of pixels several points long.
    EXPECT_GT(pixelsOf(bar, scrollHandleColor()), 4 * 20);
    EXPECT_GE(contrastRatio(scrollHandleColor(), cardBackground()), kGraphic);
}

TEST(Contrast, SelectedTextInAFieldKeepsItsColourOnThePaleFill) {
    QLineEdit field(QStringLiteral("WWWWWWWW"));
    field.resize(240, field.sizeHint().height());
    field.show();
    field.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    field.setFocus();
    field.selectAll();
    halvo::test::settle();
    const QImage image = field.grab().toImage();
    // The fill of the selection, and dark glyphs on it.
    EXPECT_GT(pixelsOf(image, selectionBackground()), 100);
    QRect selected;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == selectionBackground().rgb())
                selected |= QRect(x, y, 1, 1);
        }
    }
    const halvo::test::ImageContrast strongest = halvo::test::strongestContrast(image, selected);
    EXPECT_EQ(strongest.background.rgb(), selectionBackground().rgb());
    EXPECT_GE(strongest.ratio, kText);
    EXPECT_LT(halvo::test::relativeLuminance(strongest.strongest),
              halvo::test::relativeLuminance(strongest.background));
}
