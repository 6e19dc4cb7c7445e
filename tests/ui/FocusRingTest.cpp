#include "support/Contrast.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/Theme.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QTest>
#include <QVBoxLayout>

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using halvo::test::settle;

namespace {

struct Control {
    std::string name;
    QWidget* widget;
};

bool isRingPixel(const QColor& pixel) {
    const QColor ring = halvo::theme::focusRingColor();
    return std::abs(pixel.red() - ring.red()) <= 16 && std::abs(pixel.green() - ring.green()) <= 16 &&
           std::abs(pixel.blue() - ring.blue()) <= 16;
}

struct Difference {
    int changed = 0;
    int ring = 0;         ///< changed pixels that show the ring's colour
    int strongChange = 0; ///< changed pixels whose two colours differ by at least 3:1
};

Difference compare(const QImage& focused, const QImage& unfocused) {
    Difference result;
    if (focused.size() != unfocused.size())
        return result;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            const QColor a = focused.pixelColor(x, y);
            const QColor b = unfocused.pixelColor(x, y);
            if (a.rgb() == b.rgb())
                continue;
            ++result.changed;
            if (isRingPixel(a))
                ++result.ring;
            if (halvo::test::contrastRatio(a, b) >= 3.0)
                ++result.strongChange;
        }
    }
    return result;
}

} // namespace

TEST(FocusRing, EveryFocusableControlShowsItsFocusInTheThemesRing) {
    QWidget host;
    host.setObjectName(QStringLiteral("host"));
    host.setAttribute(Qt::WA_StyledBackground);
    host.setStyleSheet(QStringLiteral("QWidget#host { background: white; }"));
    host.resize(900, 1200);
    auto* column = new QVBoxLayout(&host);
    std::vector<Control> controls;
    const auto add = [&](const std::string& name, QWidget* widget) {
        column->addWidget(widget);
        controls.push_back({name, widget});
    };

    for (const HalvoButtonVariant variant :
         {HalvoButtonVariant::primary, HalvoButtonVariant::success, HalvoButtonVariant::warning,
          HalvoButtonVariant::danger, HalvoButtonVariant::purple, HalvoButtonVariant::secondary}) {
        for (const bool small : {false, true}) {
            add(halvo::theme::variantName(variant).toStdString() + (small ? " small button" : " button"),
                new HalvoActionButton(QStringLiteral("Neu starten"), variant, small,
                                      QStringLiteral("power.circle.fill")));
        }
    }

    HalvoSpecTile::Spec spec;
    spec.label = QStringLiteral("IPv4");
    spec.value = QStringLiteral("192.0.2.10");
    spec.icon = QStringLiteral("network");
    spec.copyValue = spec.value;
    auto* tile = new HalvoSpecTile(spec);
    column->addWidget(tile);
    controls.push_back({"copy chip", tile->copyButton()});

    QString secret;
    auto* secure = new HalvoFormTextField(QStringLiteral("Passwort"), &secret, true);
    column->addWidget(secure);
    controls.push_back({"text field", secure->lineEdit()});
    controls.push_back({"reveal switch", secure->findChild<QPushButton*>(QStringLiteral("halvoRevealSwitch"))});

    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("A"), QStringLiteral("AAAA"), QStringLiteral("MX")});
    add("choice", combo);

    auto* sections = new QListWidget;
    sections->setObjectName(QStringLiteral("halvoSectionList"));
    sections->addItems({QStringLiteral("Domains & DNS"), QStringLiteral("VPS Cloud")});
    sections->setFixedHeight(80);
    add("section list", sections);

    QStringListModel rows({QStringLiteral("example.com"), QStringLiteral("example.net")});
    auto* sidebar = new QListView;
    sidebar->setObjectName(QStringLiteral("halvoSidebarList"));
    sidebar->setModel(&rows);
    sidebar->setFixedHeight(80);
    add("sidebar list", sidebar);

    QStringListModel records({QStringLiteral("@ A 192.0.2.10"), QStringLiteral("www A 192.0.2.10")});
    auto* recordList = new QListView;
    recordList->setObjectName(QStringLiteral("dnsRecordTable"));
    recordList->setModel(&records);
    recordList->setFixedHeight(90);
    add("record list", recordList);

    auto* text = new QPlainTextEdit(QStringLiteral("$ORIGIN example.com."));
    text->setReadOnly(true);
    text->setFixedHeight(60);
    add("read-only text", text);

    // Where the focus rests while a control is grabbed without it.
    auto* elsewhere = new QLineEdit;
    column->addWidget(elsewhere);

    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    settle();

    for (const Control& control : controls) {
        ASSERT_NE(control.widget, nullptr) << control.name;
        control.widget->setFocus(Qt::TabFocusReason);
        settle();
        ASSERT_TRUE(control.widget->hasFocus()) << control.name;
        // Grabbed from the host, so that what lies behind a transparent border counts.
        const QRect area(control.widget->mapTo(&host, QPoint(0, 0)), control.widget->size());
        const QImage focused = host.grab(area).toImage();
        elsewhere->setFocus(Qt::TabFocusReason);
        settle();
        ASSERT_FALSE(control.widget->hasFocus()) << control.name;
        const QImage unfocused = host.grab(area).toImage();

        const Difference difference = compare(focused, unfocused);
        // The ring runs round the control: at least its perimeter in changed pixels of the ring's colour,
        // each of them at least 3:1 from what it was without focus.
        const int perimeter = 2 * (control.widget->width() + control.widget->height());
        EXPECT_GT(difference.changed, 0) << control.name << ": focus changes nothing on screen";
        EXPECT_GE(difference.ring, perimeter) << control.name;
        EXPECT_GE(difference.strongChange, perimeter) << control.name;
    }
}

TEST(FocusRing, ADisabledButtonLooksDisabledInEveryVariant) {
    for (const HalvoButtonVariant variant :
         {HalvoButtonVariant::primary, HalvoButtonVariant::success, HalvoButtonVariant::warning,
          HalvoButtonVariant::danger, HalvoButtonVariant::purple, HalvoButtonVariant::secondary}) {
        HalvoActionButton button(QStringLiteral("Löschen"), variant);
        button.show();
        settle();
        const QImage enabled = button.grab().toImage();
        button.setEnabled(false);
        settle();
        const QImage disabled = button.grab().toImage();
        const QPoint inside(6, enabled.height() / 2);
        EXPECT_EQ(enabled.pixelColor(inside).rgb(), halvo::theme::buttonColor(variant).rgb())
            << halvo::theme::variantName(variant).toStdString();
        EXPECT_EQ(disabled.pixelColor(inside).rgb(), halvo::theme::disabledButtonColor().rgb())
            << halvo::theme::variantName(variant).toStdString();
    }
}
