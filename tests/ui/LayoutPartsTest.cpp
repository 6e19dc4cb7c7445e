#include "support/QtPrinters.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoColumnsLayout.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoSpecGrid.h"
#include "ui/HalvoWrappingLabel.h"
#include "ui/Theme.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>

#include <gtest/gtest.h>
#include <memory>

using halvo::test::settle;
using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

/// A widget that asks for exactly `size`.
class Block final : public QWidget {
public:
    explicit Block(QSize size)
        : m_size(size) {}
    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

private:
    QSize m_size;
};

/// The rows and columns that hold ink (any pixel not fully transparent).
QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

/// The widget drawn on a transparent picture (its own background is not drawn).
QImage render(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

/// How high the glyphs of the text are when nothing cuts them: drawn free on a large picture.
int freeInkHeight(const QString& text, const QFont& font) {
    QImage image(QSize(2000, 200), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(10, 100), text);
    painter.end();
    return inkBounds(image).height();
}

/// Whether `position` lies on a boundary between user-perceived characters of `text`.
bool isGraphemeBoundary(const QString& text, int position) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(position);
    return finder.isAtBoundary();
}

} // namespace

TEST(FlowLayout, ItemsWrapOntoFurtherLinesAndNeverPassTheRightEdge) {
    struct Case {
        int width;
        int lines;
    };
    // Five items of 100 x 30, 8 apart: 532 for one line.
    for (const Case& c : {Case{600, 1}, Case{532, 1}, Case{531, 2}, Case{424, 2}, Case{423, 2}, Case{316, 2},
                          Case{315, 3}, Case{208, 3}, Case{207, 5}, Case{60, 5}}) {
        QWidget host;
        auto* flow = new HalvoFlowLayout(&host, 8, 6);
        // A window would not get narrower than its layout's minimum; this one should, to show the narrowing.
        flow->setSizeConstraint(QLayout::SetNoConstraint);
        QList<QWidget*> blocks;
        for (int i = 0; i < 5; ++i) {
            blocks.append(new Block(QSize(100, 30)));
            flow->addWidget(blocks.last());
        }
        EXPECT_EQ(flow->lineCount(c.width), c.lines) << "width " << c.width;
        EXPECT_EQ(flow->heightForWidth(c.width), c.lines * 30 + (c.lines - 1) * 6) << "width " << c.width;
        host.resize(c.width, flow->heightForWidth(c.width));
        host.show();
        settle();
        QSet<int> tops;
        for (int i = 0; i < blocks.size(); ++i) {
            const QRect rect = blocks[i]->geometry();
            EXPECT_GE(rect.left(), 0);
            EXPECT_LE(rect.right(), c.width - 1) << "width " << c.width << " block " << i;
            EXPECT_EQ(rect.width(), std::min(100, c.width)) << "width " << c.width;
            tops.insert(rect.top());
            // Reading order: each block to the right of its predecessor or on a later line.
            if (i > 0) {
                const QRect before = blocks[i - 1]->geometry();
                EXPECT_TRUE(rect.top() > before.top() || (rect.top() == before.top() && rect.left() > before.right()));
            }
        }
        EXPECT_EQ(int(tops.size()), c.lines) << "width " << c.width;
    }
}

TEST(FlowLayout, InsertedWidgetKeepsItsPlaceAndHiddenOnesTakeNoRoom) {
    QWidget host;
    auto* flow = new HalvoFlowLayout(&host, 8, 8);
    auto* first = new Block(QSize(100, 30));
    auto* last = new Block(QSize(100, 30));
    flow->addWidget(first);
    flow->addWidget(last);
    auto* middle = new Block(QSize(100, 30));
    flow->insertWidget(1, middle);
    host.resize(400, 30);
    host.show();
    settle();
    EXPECT_LT(first->x(), middle->x());
    EXPECT_LT(middle->x(), last->x());
    middle->hide();
    settle();
    EXPECT_EQ(last->x(), 108);
    EXPECT_EQ(flow->sizeHint().width(), 208);
}

TEST(ElidedLabel, TextThatDoesNotFitEndsInAnEllipsisAndIsWholeInTheTooltip) {
    const QString longName = QString(QStringLiteral("pve01-nordlicht-")).repeated(7) + QStringLiteral("ende.example");
    const QStringList texts = {
        QStringLiteral("FRA1"),
        longName,
        QStringLiteral("Ändert den globalen PTR-Eintrag der Haupt-IP sowie den Servernamen"),
        // Combined characters (e + combining acute, a flag of two regional indicators) are never split.
        QString(QStringLiteral("e\u0301\U0001F1E9\U0001F1EA")).repeated(30),
    };
    for (const QString& text : texts) {
        for (const int width : {60, 140, 400, 2000}) {
            HalvoElidedLabel label(text);
            halvo::theme::style(&label, TextStyle::subheadline, Weight::bold);
            label.resize(width, label.sizeHint().height());
            label.show();
            settle();
            const QFontMetrics metrics = label.fontMetrics();
            const bool fits = metrics.horizontalAdvance(text) <= label.contentsRect().width();
            const std::string where = text.left(20).toStdString() + " at " + std::to_string(width);
            EXPECT_EQ(label.text(), text) << where;
            EXPECT_EQ(label.isElided(), !fits) << where;
            // Hovering asks for the tooltip.
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), label.mapToGlobal(QPoint(2, 2)));
            QCoreApplication::sendEvent(&label, &help);
            if (fits) {
                EXPECT_EQ(label.shownText(), text) << where;
                EXPECT_TRUE(label.toolTip().isEmpty()) << where;
                continue;
            }
            const QString shown = label.shownText();
            ASSERT_TRUE(shown.endsWith(QStringLiteral("…"))) << where;
            EXPECT_LE(metrics.horizontalAdvance(shown), label.contentsRect().width()) << where;
            const QString kept = shown.chopped(1);
            EXPECT_TRUE(text.startsWith(kept)) << where;
            EXPECT_TRUE(isGraphemeBoundary(text, int(kept.size()))) << where;
            EXPECT_EQ(label.toolTip(), text) << where;
        }
    }
}

TEST(ElidedLabel, TooltipFollowsTheTextAndTheWidth) {
    HalvoElidedLabel label(QStringLiteral("kurz"));
    label.resize(200, label.sizeHint().height());
    label.show();
    settle();
    const auto hover = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), label.mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(&label, &help);
        return label.toolTip();
    };
    EXPECT_TRUE(hover().isEmpty());
    const QString longer = QString(QStringLiteral("ns3045871.ip-192-0-2.example.net ")).repeated(4);
    label.setText(longer);
    EXPECT_EQ(hover(), longer);
    label.resize(4000, label.height());
    settle();
    EXPECT_TRUE(label.toolTip().isEmpty());
    label.resize(100, label.height());
    settle();
    EXPECT_EQ(label.toolTip(), longer);
    label.setText(QStringLiteral("kurz"));
    EXPECT_TRUE(hover().isEmpty());
    // It asks for the whole text but can shrink to a few characters.
    label.setText(longer);
    EXPECT_GE(label.sizeHint().width(), label.fontMetrics().horizontalAdvance(longer));
    EXPECT_LT(label.minimumSizeHint().width(), 80);
}

TEST(ElidedLabel, GlyphsAreWholeIncludingTheMarksAboveCapitals) {
    for (const TextStyle style : {TextStyle::caption2, TextStyle::caption, TextStyle::headline, TextStyle::title2}) {
        const QString text = QStringLiteral("ÄÖÜ Ändert Åg");
        HalvoElidedLabel label(text);
        halvo::theme::style(&label, style, Weight::bold);
        label.resize(label.sizeHint());
        label.show();
        settle();
        const QRect ink = inkBounds(render(&label));
        EXPECT_EQ(ink.height(), freeInkHeight(text, label.font())) << int(style);
        // Elided too: the dots above the "Ä" stay.
        label.resize(label.sizeHint().width() / 2, label.sizeHint().height());
        settle();
        EXPECT_EQ(inkBounds(render(&label)).height(), freeInkHeight(label.shownText(), label.font())) << int(style);
    }
}

TEST(WrappingLabel, GetsTheHeightOfItsWrappedTextBesideAnotherCard) {
    // Two cards side by side in a scrolling column, the first with a two-line subtitle: the row takes the
    // height that the subtitle needs at the width it gets, and the first line's marks are drawn.
    const QString subtitle = QStringLiteral("Ändert den globalen PTR-Eintrag der Haupt-IP sowie den Servernamen (PUT "
                                            "/dedicated/server/ns3045871.ip-192-0-2.example.net)");
    QScrollArea scroll;
    scroll.setWidgetResizable(true);
    auto* host = new QWidget;
    auto* column = new QVBoxLayout(host);
    auto* row = new QHBoxLayout;
    auto* card = new QWidget;
    auto* cardColumn = new QVBoxLayout(card);
    cardColumn->addWidget(new QLabel(QStringLiteral("Server Reverse-DNS (PTR) & Anzeigename")));
    auto* label = new HalvoWrappingLabel(subtitle);
    halvo::theme::style(label, TextStyle::caption, Weight::regular, Tint::secondary);
    cardColumn->addWidget(label);
    row->addWidget(card, 1);
    row->addWidget(new Block(QSize(300, 40)), 1);
    row->setAlignment(Qt::AlignTop);
    column->addLayout(row);
    column->addStretch(1);
    scroll.setWidget(host);
    for (const int width : {1200, 800, 560, 900}) {
        scroll.resize(width, 500);
        scroll.show();
        settle();
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << "width " << width;
        // The first line starts at the top: the whole "Ä" is drawn.
        const QImage picture = render(label);
        const QRect ink = inkBounds(picture);
        EXPECT_GT(ink.top(), 0) << "width " << width;
        EXPECT_LT(ink.bottom(), picture.height() - 1) << "width " << width;
    }
}

TEST(ColumnsLayout, CardsSideBySideStackWhenTheWidthIsShort) {
    // Two cards of at least 320 wide, 16 apart; then four tiles of at least 150, 12 apart.
    struct Case {
        int maxColumns;
        int items;
        int minimumWidth;
        int width;
        int columns;
    };
    const Case cases[] = {
        {2, 2, 320, 1000, 2}, {2, 2, 320, 656, 2}, {2, 2, 320, 655, 1}, {2, 2, 320, 400, 1}, {4, 8, 150, 1000, 4},
        {4, 8, 150, 636, 4},  {4, 8, 150, 635, 3}, {4, 8, 150, 320, 2}, {4, 8, 150, 200, 1}, {4, 3, 150, 1000, 3},
    };
    for (const Case& c : cases) {
        QWidget host;
        const int spacing = c.maxColumns == 2 ? 16 : 12;
        auto* columns = new HalvoColumnsLayout(c.maxColumns, spacing, 10, &host);
        columns->setSizeConstraint(QLayout::SetNoConstraint);
        QList<QLabel*> cards;
        for (int i = 0; i < c.items; ++i) {
            auto* card = new QLabel(QStringLiteral("Ändert den globalen PTR-Eintrag der Haupt-IP (Karte %1)").arg(i));
            card->setWordWrap(true);
            card->setMinimumWidth(c.minimumWidth);
            columns->addWidget(card);
            cards.append(card);
        }
        const std::string where = std::to_string(c.items) + " items at " + std::to_string(c.width);
        EXPECT_EQ(columns->columnsFor(c.width), c.columns) << where;
        host.resize(c.width, columns->heightForWidth(c.width));
        host.show();
        settle();
        QSet<int> lefts;
        for (QLabel* card : cards) {
            EXPECT_GE(card->x(), 0) << where;
            EXPECT_LE(card->geometry().right(), c.width - 1) << where;
            EXPECT_GE(card->width(), std::min(c.minimumWidth, c.width)) << where;
            EXPECT_GE(card->height(), card->heightForWidth(card->width())) << where;
            lefts.insert(card->x());
        }
        EXPECT_EQ(int(lefts.size()), c.columns) << where;
        // The rows follow one another without overlapping.
        for (int i = c.columns; i < cards.size(); ++i)
            EXPECT_GT(cards[i]->y(), cards[i - c.columns]->geometry().bottom()) << where;
    }
}

TEST(FlowLayout, AnInputFieldTakesTheSpareWidthAndItsButtonWrapsWhenShort) {
    for (const int width : {900, 420, 300}) {
        QWidget host;
        auto* flow = new HalvoFlowLayout(&host, 10, 8);
        flow->setSizeConstraint(QLayout::SetNoConstraint);
        auto* field = new QLineEdit;
        field->setMinimumWidth(160);
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* button = new Block(QSize(200, 28));
        flow->addWidget(field);
        flow->addWidget(button);
        host.resize(width, flow->heightForWidth(width));
        host.show();
        settle();
        const bool oneLine = 160 + 10 + 200 <= width;
        EXPECT_EQ(flow->lineCount(width), oneLine ? 1 : 2) << width;
        // The field ends where its line ends: at the button, or at the right edge when alone.
        const int fieldEnd = oneLine ? width - 200 - 10 : width;
        EXPECT_EQ(field->geometry().right() + 1, fieldEnd) << width;
        EXPECT_LE(button->geometry().right(), width - 1) << width;
    }
}

TEST(SpecGrid, TilesGetTheHeightOfTheirWrappedTextsAndUseFewerColumnsWhenNarrow) {
    QList<HalvoSpecTile::Spec> specs;
    for (int i = 0; i < 8; ++i) {
        specs.append({.label = QStringLiteral("Arbeitsspeicher (RAM) %1").arg(i),
                      .value = QStringLiteral("ns3045871.ip-192-0-2.example.net"),
                      .subvalue = QStringLiteral("Geroutet auf ns3045871.ip-192-0-2.example.net und weiter"),
                      .icon = QStringLiteral("memorychip.fill"),
                      .tint = halvo::theme::Tint::blue,
                      .copyValue = i % 2 ? std::optional<QString>(QStringLiteral("x")) : std::nullopt,
                      .onCopy = {}});
    }
    QScrollArea scroll;
    scroll.setWidgetResizable(true);
    scroll.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* host = new QWidget;
    auto* column = new QVBoxLayout(host);
    auto* grid = new HalvoSpecGrid(QStringLiteral("tiles"), specs);
    column->addWidget(grid);
    column->addStretch(1);
    scroll.setWidget(host);
    scroll.show();
    for (const int width : {1100, 700, 520, 300, 900}) {
        scroll.resize(width, 600);
        settle();
        EXPECT_EQ(grid->columns(), grid->columnsFor(grid->width())) << width;
        for (HalvoWrappingLabel* label : grid->findChildren<HalvoWrappingLabel*>()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << width << ": " << label->text().toStdString() << " " << label->width();
            EXPECT_LE(label->mapTo(grid, QPoint(label->width(), 0)).x(), grid->width()) << width;
        }
    }
}
