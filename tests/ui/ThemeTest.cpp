#include "ui/Theme.h"

#include "support/QtPrinters.h"
#include "ui/Components.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineF>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QSplitter>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVBoxLayout>

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace halvo::theme;

namespace {

// Every symbol the section views and the main window name, as the screens describe them.
const QStringList& describedSymbols() {
    static const QStringList names = {
        QStringLiteral("4.circle.fill"),
        QStringLiteral("6.circle.fill"),
        QStringLiteral("arrow.clockwise"),
        QStringLiteral("arrow.clockwise.circle.fill"),
        QStringLiteral("arrow.left.arrow.right.circle.fill"),
        QStringLiteral("arrow.triangle.2.circlepath"),
        QStringLiteral("arrow.triangle.2.circlepath.circle.fill"),
        QStringLiteral("arrow.triangle.branch"),
        QStringLiteral("arrow.triangle.merge"),
        QStringLiteral("arrow.triangle.swap"),
        QStringLiteral("arrow.up.right.circle.fill"),
        QStringLiteral("arrow.up.right.square.fill"),
        QStringLiteral("bolt.horizontal.fill"),
        QStringLiteral("building.2.fill"),
        QStringLiteral("cabinet.fill"),
        QStringLiteral("calendar.badge.clock"),
        QStringLiteral("camera.aperture"),
        QStringLiteral("chart.pie.fill"),
        QStringLiteral("checklist"),
        QStringLiteral("checkmark.circle.fill"),
        QStringLiteral("checkmark.seal.fill"),
        QStringLiteral("checkmark.shield.fill"),
        QStringLiteral("clock.fill"),
        QStringLiteral("cloud.fill"),
        QStringLiteral("cpu"),
        QStringLiteral("cpu.fill"),
        QStringLiteral("display"),
        QStringLiteral("display.2"),
        QStringLiteral("display.and.arrow.down"),
        QStringLiteral("doc.on.doc"),
        QStringLiteral("doc.text"),
        QStringLiteral("exclamationmark.shield.fill"),
        QStringLiteral("exclamationmark.triangle.fill"),
        QStringLiteral("externaldrive.badge.timemachine"),
        QStringLiteral("externaldrive.fill.badge.checkmark"),
        QStringLiteral("externaldrive.fill.badge.plus"),
        QStringLiteral("flame.fill"),
        QStringLiteral("gamecontroller.fill"),
        QStringLiteral("globe"),
        QStringLiteral("globe.europe.africa.fill"),
        QStringLiteral("hand.raised.fill"),
        QStringLiteral("internaldrive.fill"),
        QStringLiteral("key.fill"),
        QStringLiteral("lifepreserver.fill"),
        QStringLiteral("link.circle.fill"),
        QStringLiteral("list.bullet"),
        QStringLiteral("list.bullet.rectangle.portrait.fill"),
        QStringLiteral("lock.fill"),
        QStringLiteral("lock.open.fill"),
        QStringLiteral("mappin.and.ellipse"),
        QStringLiteral("memorychip.fill"),
        QStringLiteral("network"),
        QStringLiteral("network.badge.shield.half.filled"),
        QStringLiteral("opticaldisc.fill"),
        QStringLiteral("play.fill"),
        QStringLiteral("plus.circle.fill"),
        QStringLiteral("plus.shield.fill"),
        QStringLiteral("point.3.connected.trianglepath.dotted"),
        QStringLiteral("power.circle.fill"),
        QStringLiteral("rectangle.3.group.fill"),
        QStringLiteral("server.rack"),
        QStringLiteral("shield.checkered"),
        QStringLiteral("shield.fill"),
        QStringLiteral("shield.lefthalf.filled"),
        QStringLiteral("shield.lefthalf.filled.badge.checkmark"),
        QStringLiteral("speedometer"),
        QStringLiteral("square.grid.2x2.fill"),
        QStringLiteral("square.split.2x2.fill"),
        QStringLiteral("stethoscope"),
        QStringLiteral("stop.fill"),
        QStringLiteral("tag.fill"),
        QStringLiteral("terminal.fill"),
        QStringLiteral("trash"),
        QStringLiteral("waveform.path.ecg"),
    };
    return names;
}

QString sourceRoot() {
    // This file lives in <root>/tests/ui.
    return QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir().absoluteFilePath(QStringLiteral("../.."));
}

// A host name in a view's defaults or placeholders is not a symbol.
bool looksLikeHostName(const QString& literal) {
    static const QSet<QString> topLevel = {
        QStringLiteral("com"),  QStringLiteral("net"),     QStringLiteral("org"),     QStringLiteral("de"),
        QStringLiteral("eu"),   QStringLiteral("io"),      QStringLiteral("example"), QStringLiteral("invalid"),
        QStringLiteral("test"), QStringLiteral("local"),   QStringLiteral("arpa"),    QStringLiteral("ca"),
        QStringLiteral("us"),   QStringLiteral("macos15"), QStringLiteral("xyz"),     QStringLiteral("sqlite3"),
        QStringLiteral("png"),  QStringLiteral("json"),    QStringLiteral("txt"),     QStringLiteral("0"),
    };
    if (topLevel.contains(literal.section(QLatin1Char('.'), -1)))
        return true;
    // Addresses and version numbers ("192.0.2.10", "1.0"): digits only before the first dot, and no symbol suffix.
    bool leadingNumber = false;
    literal.section(QLatin1Char('.'), 0, 0).toInt(&leadingNumber);
    return leadingNumber && !literal.endsWith(QStringLiteral(".fill"));
}

} // namespace

// The symbols that no icon theme has and the theme draws itself.
const QStringList kDrawnSymbols{QStringLiteral("4.circle.fill"), QStringLiteral("6.circle.fill")};

TEST(Theme, EveryDescribedSymbolHasAnIconOfTheTheme) {
    for (const QString& name : describedSymbols()) {
        ASSERT_TRUE(hasIcon(name)) << name.toStdString();
        if (kDrawnSymbols.contains(name)) {
            EXPECT_TRUE(iconName(name).isEmpty()) << name.toStdString();
            EXPECT_FALSE(icon(name).isNull()) << name.toStdString();
            continue;
        }
        EXPECT_TRUE(QIcon::hasThemeIcon(iconName(name)))
            << name.toStdString() << " -> " << iconName(name).toStdString() << " is not in the icon theme";
    }
    for (const QString& name : knownSymbols()) {
        if (!kDrawnSymbols.contains(name)) {
            EXPECT_TRUE(QIcon::hasThemeIcon(iconName(name))) << name.toStdString();
        }
    }
}

// The pixels of the image that form the digit: inside the circle and see-through, as a set of points
// relative to their own centre, so that two renderings compare wherever they sit.
QList<QPoint> cutOutPixels(const QImage& image) {
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const double inner = image.width() * 0.92 / 2 * 0.85;
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (QLineF(centre, QPointF(x + 0.5, y + 0.5)).length() < inner && image.pixelColor(x, y).alpha() < 128)
                points.append(QPoint(x, y));
        }
    }
    return points;
}

// The pixels of a digit written with the painter's text drawing (not a path), in the same form.
QList<QPoint> writtenDigitPixels(QChar digit, int edge) {
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        QFont digitFont = font(TextStyle::body, Weight::bold);
        digitFont.setPixelSize(qRound(edge * 0.92 * 0.64));
        painter.setFont(digitFont);
        painter.setPen(Qt::black);
        painter.drawText(image.rect(), Qt::AlignCenter, QString(digit));
    }
    QList<QPoint> points;
    for (int y = 0; y < edge; ++y) {
        for (int x = 0; x < edge; ++x) {
            if (image.pixelColor(x, y).alpha() >= 128)
                points.append(QPoint(x, y));
        }
    }
    return points;
}

// How well two pixel sets cover each other once their centres are laid on one another (1 = the same).
double overlap(const QList<QPoint>& a, const QList<QPoint>& b) {
    if (a.isEmpty() || b.isEmpty())
        return 0;
    const auto centre = [](const QList<QPoint>& points) {
        QPointF sum;
        for (const QPoint& p : points)
            sum += p;
        return (sum / points.size()).toPoint();
    };
    const QPoint shift = centre(a) - centre(b);
    QSet<quint64> first;
    for (const QPoint& p : a)
        first.insert(quint64(quint32(p.x())) << 32 | quint32(p.y()));
    int common = 0;
    for (const QPoint& p : b) {
        const QPoint moved = p + shift;
        common += first.contains(quint64(quint32(moved.x())) << 32 | quint32(moved.y())) ? 1 : 0;
    }
    return double(common) / (a.size() + b.size() - common);
}

TEST(Theme, DigitSymbolsShowTheirDigitCutOutOfACircleInTheTint) {
    constexpr int kEdge = 64;
    const QChar digits[] = {QLatin1Char('4'), QLatin1Char('6')};
    for (const QChar digit : digits) {
        const QString name = QString(digit) + QStringLiteral(".circle.fill");
        SCOPED_TRACE(name.toStdString());
        // As a view shows it: a symbol label in a tint.
        std::unique_ptr<QLabel> label(symbol(name, TextStyle::title, Tint::indigo));
        ASSERT_FALSE(label->pixmap().isNull());
        const QImage shown = label->pixmap().toImage();
        const QImage image = tintedIcon(name, color(Tint::indigo)).pixmap(QSize(kEdge, kEdge)).toImage();
        ASSERT_EQ(image.size(), QSize(kEdge, kEdge));

        // Every solid pixel is the tint, in the label too.
        for (const QImage& picture : {image, shown}) {
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    if (picture.pixelColor(x, y).alpha() == 255) {
                        ASSERT_EQ(picture.pixelColor(x, y).rgb(), color(Tint::indigo).rgb()) << x << "," << y;
                    }
                }
            }
        }
        // The circle is filled: its rim is solid all round.
        const double rim = kEdge * 0.92 / 2 * 0.9;
        for (int step = 0; step < 24; ++step) {
            const double angle = step * M_PI / 12;
            const QPoint p(qFloor(kEdge / 2.0 + rim * std::cos(angle)), qFloor(kEdge / 2.0 + rim * std::sin(angle)));
            EXPECT_GT(image.pixelColor(p).alpha(), 200) << step;
        }
        // The digit is cut out, and it is this digit, not the other one.
        const QList<QPoint> cut = cutOutPixels(image);
        const double area = M_PI * std::pow(kEdge * 0.92 / 2, 2);
        EXPECT_GT(cut.size(), area * 0.06);
        EXPECT_LT(cut.size(), area * 0.45);
        const QChar other = digit == QLatin1Char('4') ? QLatin1Char('6') : QLatin1Char('4');
        const double own = overlap(cut, writtenDigitPixels(digit, kEdge));
        EXPECT_GT(own, 0.6);
        EXPECT_GT(own, overlap(cut, writtenDigitPixels(other, kEdge)) + 0.1);
    }
}

TEST(Theme, EverySymbolLiteralOfTheViewsHasAnEntry) {
    // Symbol names are dotted lower-case words ("server.rack"); the few one-word symbols are in the list.
    static const QRegularExpression literal(QStringLiteral(R"re("([a-z0-9]+(?:\.[a-z0-9]+)+)")re"));
    QStringList missing;
    int scannedFiles = 0;
    for (const QString& folder : {QStringLiteral("src/views"), QStringLiteral("src/app"), QStringLiteral("src/ui")}) {
        QDirIterator it(QDir(sourceRoot()).absoluteFilePath(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            ++scannedFiles;
            QString text = QString::fromUtf8(file.readAll());
            // Comment lines may quote host names or examples; only code names symbols.
            static const QRegularExpression commentLine(QStringLiteral(R"re((?m)^\s*//.*$)re"));
            text.remove(commentLine);
            for (auto match = literal.globalMatch(text); match.hasNext();) {
                const QString name = match.next().captured(1);
                if (!looksLikeHostName(name) && !hasIcon(name))
                    missing.append(QFileInfo(file.fileName()).fileName() + QStringLiteral(": ") + name);
            }
        }
    }
    EXPECT_GT(scannedFiles, 4);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(Theme, UnknownSymbolGivesAnEmptyIconAndIsRecorded) {
    clearUnknownSymbolsRequested();
    EXPECT_TRUE(icon(QStringLiteral("no.such.symbol")).isNull());
    EXPECT_TRUE(tintedIcon(QStringLiteral("no.such.symbol"), Qt::red).isNull());
    std::unique_ptr<QLabel> label(symbol(QStringLiteral("no.such.symbol"), TextStyle::body, Tint::blue));
    EXPECT_FALSE(label->pixmap().isNull() && label->width() == 0);
    EXPECT_EQ(unknownSymbolsRequested(), QStringList{QStringLiteral("no.such.symbol")});
    EXPECT_FALSE(icon(QStringLiteral("server.rack")).isNull());
    EXPECT_EQ(unknownSymbolsRequested().size(), 1);
    clearUnknownSymbolsRequested();
    EXPECT_TRUE(unknownSymbolsRequested().isEmpty());
}

TEST(Theme, TintedSymbolIsDrawnInTheTint) {
    const QIcon tinted = tintedIcon(QStringLiteral("server.rack"), color(Tint::red));
    const QImage image = tinted.pixmap(QSize(32, 32)).toImage();
    ASSERT_FALSE(image.isNull()) << "the SVG icon engine is missing";
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 255)
                continue;
            ++painted;
            EXPECT_EQ(pixel.rgb(), color(Tint::red).rgb()) << x << "," << y;
        }
    }
    EXPECT_GT(painted, 20);
}

TEST(Theme, EveryTintedSymbolIsAGlyphNotABlock) {
    // A coloured picture tinted to one colour becomes a filled block; the table must name glyphs.
    for (const QString& name : knownSymbols()) {
        const QImage image = tintedIcon(name, Qt::black).pixmap(QSize(32, 32)).toImage();
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                opaque += image.pixelColor(x, y).alpha() > 128 ? 1 : 0;
        }
        const double coverage = double(opaque) / (image.width() * image.height());
        EXPECT_GT(coverage, 0.02) << name.toStdString();
        EXPECT_LT(coverage, 0.75) << name.toStdString() << " -> " << iconName(name).toStdString();
    }
}

TEST(Theme, SymbolLabelCarriesNameAndTint) {
    std::unique_ptr<QLabel> label(symbol(QStringLiteral("lock.fill"), TextStyle::caption, Tint::green));
    EXPECT_EQ(label->property("symbolName").toString(), QStringLiteral("lock.fill"));
    EXPECT_EQ(label->property("tint").toString(), QStringLiteral("green"));
    EXPECT_FALSE(label->pixmap().isNull());
    EXPECT_EQ(label->width(), symbolSize(TextStyle::caption));
}

TEST(Theme, TextStylesAreOrderedBySize) {
    // From the largest to the smallest; equal neighbours are allowed where the platform has equal sizes.
    const TextStyle order[] = {TextStyle::largeTitle, TextStyle::title,       TextStyle::title2,  TextStyle::title3,
                               TextStyle::body,       TextStyle::subheadline, TextStyle::caption, TextStyle::caption2};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_GT(font(order[i - 1]).pointSizeF(), font(order[i]).pointSizeF()) << i;
    EXPECT_EQ(font(TextStyle::headline).pointSizeF(), font(TextStyle::body).pointSizeF());
    EXPECT_GE(font(TextStyle::caption2).pointSizeF(), 7.0);
}

// A raw request for the weight, as the theme's font would be without its choice of face weight.
QFont asked(TextStyle style, QFont::Weight weight, bool monospaced = false) {
    QFont raw = font(style, Weight::regular, monospaced);
    raw.setWeight(weight);
    return raw;
}

QImage drawn(const QFont& font) {
    QImage image(240, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(2.25, 28), QStringLiteral("Ärger Wij 0123 fl @"));
    return image;
}

TEST(Theme, WeightsAndMonospace) {
    struct Case {
        TextStyle style;
        Weight weight;
        QFont::Weight asked;
    };
    const Case cases[] = {
        {TextStyle::body, Weight::regular, QFont::Normal},       {TextStyle::body, Weight::medium, QFont::Medium},
        {TextStyle::caption, Weight::semibold, QFont::DemiBold}, {TextStyle::caption2, Weight::bold, QFont::Bold},
        {TextStyle::headline, Weight::regular, QFont::DemiBold}, // a headline is semibold by itself
        {TextStyle::headline, Weight::bold, QFont::Bold},
    };
    for (const bool monospaced : {false, true}) {
        for (const Case& c : cases) {
            const QFont themed = font(c.style, c.weight, monospaced);
            const QFont raw = asked(c.style, c.asked, monospaced);
            // Drawn with the face the weight asks for, and the same pixels.
            EXPECT_EQ(QFontInfo(themed).styleName(), QFontInfo(raw).styleName())
                << int(c.style) << "/" << int(c.weight) << "/" << monospaced;
            EXPECT_EQ(drawn(themed), drawn(raw)) << int(c.style) << "/" << int(c.weight) << "/" << monospaced;
            // The weight asked for, or where the family has no face of it the weight of the face it draws with.
            if (themed.weight() != c.asked) {
                const QString family = QFontInfo(raw).family();
                for (const QString& style : QFontDatabase::styles(family)) {
                    if (!QFontDatabase::italic(family, style)) {
                        EXPECT_NE(QFontDatabase::weight(family, style), int(c.asked)) << family.toStdString();
                    }
                }
                EXPECT_TRUE(themed.weight() == QFont::Normal || themed.weight() == QFont::Bold);
            }
        }
    }
    EXPECT_EQ(font(TextStyle::body).weight(), QFont::Normal);
    EXPECT_EQ(font(TextStyle::body, Weight::bold).weight(), QFont::Bold);

    // What the theme asks for: the platform's fixed font, marked fixed-pitch. Whether a font reports itself
    // fixed-pitch varies (Noto Sans Mono does not); equal advances are what monospaced text needs.
    const QFont mono = font(TextStyle::caption2, Weight::bold, true);
    EXPECT_EQ(mono.families(), QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
    EXPECT_EQ(mono.styleHint(), QFont::Monospace);
    EXPECT_TRUE(mono.fixedPitch());
    const QFontMetricsF metrics(mono);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_GT(advance, 0);
    for (const QChar c : QStringLiteral("iW.m:1lMf -"))
        EXPECT_EQ(metrics.horizontalAdvance(c), advance)
            << QString(c).toStdString() << " in " << QFontInfo(mono).family().toStdString();
    EXPECT_NE(QFontMetricsF(font(TextStyle::caption2, Weight::bold)).horizontalAdvance(QLatin1Char('i')),
              QFontMetricsF(font(TextStyle::caption2, Weight::bold)).horizontalAdvance(QLatin1Char('W')))
        << "the proportional font tells the two apart";
    EXPECT_EQ(mono.pointSizeF(), font(TextStyle::caption2).pointSizeF());
    EXPECT_EQ(mono.weight(), QFont::Bold);
}

TEST(Theme, ColoursAndOpacities) {
    EXPECT_NEAR(color(Tint::purple, 0.18).alphaF(), 0.18, 0.002);
    EXPECT_EQ(color(Tint::purple, 0.18).rgb(), color(Tint::purple).rgb());
    EXPECT_EQ(color(Tint::blue, 2.0).alpha(), 255);
    EXPECT_NEAR(listRowBackground().alphaF(), 0.04, 0.005);
    EXPECT_EQ(listRowBackground().rgb(), color(Tint::primary).rgb());
    EXPECT_NEAR(tabBarBackground().alphaF(), 0.03, 0.005);
    EXPECT_LT(headerBandBackground().alpha(), 255); // translucent

    // Every variant has its own fill; white text on colour, dark text on the neutral one.
    QSet<QRgb> fills;
    for (const auto variant : {HalvoButtonVariant::primary, HalvoButtonVariant::success, HalvoButtonVariant::warning,
                               HalvoButtonVariant::danger, HalvoButtonVariant::purple, HalvoButtonVariant::secondary})
        fills.insert(buttonColor(variant).rgb());
    EXPECT_EQ(fills.size(), 6);
    EXPECT_EQ(buttonTextColor(HalvoButtonVariant::danger), QColor(Qt::white));
    EXPECT_EQ(buttonTextColor(HalvoButtonVariant::secondary), color(Tint::primary));
    EXPECT_EQ(buttonColor(HalvoButtonVariant::danger), color(Tint::red));
}

// The window's column divider and the section splitter's handle are drawn in an opaque colour: on the window they
// show exactly the pixels of the translucent hairline that the other dividers draw there.
TEST(Theme, OpaqueHairlinesShowThePixelsOfTheTranslucentOnes) {
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(20, 20, 20, 20);
    column->addWidget(halvo::ui::divider(central)); // translucent
    auto* row = new QHBoxLayout;
    auto* vertical = halvo::ui::divider(central, true);
    row->addWidget(vertical);
    auto* splitter = new QSplitter(central);
    splitter->setObjectName(QStringLiteral("halvoSectionSplitter"));
    splitter->setHandleWidth(1);
    splitter->addWidget(new QWidget(splitter));
    splitter->addWidget(new QWidget(splitter));
    row->addWidget(splitter, 1);
    column->addLayout(row, 1);
    window.setCentralWidget(central);
    window.resize(400, 300);
    window.show();
    QCoreApplication::processEvents();
    const QImage shot = window.grab().toImage();

    const QColor translucentOnWindow = shot.pixelColor(200, 20);
    EXPECT_NE(translucentOnWindow, windowBackground()) << "the horizontal divider is not where it was looked for";
    const QPoint verticalAt = vertical->mapTo(&window, QPoint(0, vertical->height() / 2));
    EXPECT_EQ(shot.pixelColor(verticalAt), translucentOnWindow);
    EXPECT_EQ(vertical->palette().color(QPalette::Window).alpha(), 255) << "drawn opaque";
    // The handle is wider than the line it draws, for the pointer's sake: the line is what differs from the window.
    const QWidget* handle = splitter->handle(1);
    QSet<QRgb> handleLine;
    for (int x = 0; x < handle->width(); ++x) {
        const QColor pixel = shot.pixelColor(handle->mapTo(&window, QPoint(x, handle->height() / 2)));
        if (pixel != windowBackground())
            handleLine.insert(pixel.rgb());
    }
    EXPECT_EQ(handleLine, QSet<QRgb>{translucentOnWindow.rgb()});
    EXPECT_EQ(hairlineOn(windowBackground()), translucentOnWindow);

    EXPECT_EQ(hairlineOn(cardBackground()).alpha(), 255);
    EXPECT_NE(hairlineOn(cardBackground()), hairlineOn(windowBackground()));
}

TEST(Theme, LabelIsPlainTextInStyleAndTint) {
    std::unique_ptr<QLabel> l(label(QStringLiteral("<b>x</b>"), TextStyle::caption, Weight::bold, Tint::orange));
    EXPECT_EQ(l->textFormat(), Qt::PlainText);
    EXPECT_EQ(l->font().pointSizeF(), font(TextStyle::caption).pointSizeF());
    EXPECT_EQ(l->font().weight(), QFont::Bold);
    EXPECT_EQ(l->palette().color(QPalette::WindowText), color(Tint::orange));
}

TEST(Theme, SymbolsAreWholeAndSharpAtTheScreensScale) {
    // Run at scale 1, 1.5 and 2 (the test program runs once per scale factor): a symbol label holds exactly
    // the device pixels of its edge at the screen's ratio, and drawing the icon in a rectangle gives the same
    // glyph as the label's picture.
    const qreal ratio = qApp->devicePixelRatio();
    for (const QString& name : {QStringLiteral("magnifyingglass"), QStringLiteral("lock.fill"),
                                QStringLiteral("server.rack"), QStringLiteral("checkmark.circle.fill")}) {
        for (const TextStyle style : {TextStyle::caption, TextStyle::body, TextStyle::title2}) {
            const std::unique_ptr<QLabel> label(symbol(name, style, Tint::blue));
            const int edge = symbolSize(style);
            const std::string where = name.toStdString() + " at " + std::to_string(edge) + " x" + std::to_string(ratio);
            const QPixmap picture = label->pixmap();
            ASSERT_FALSE(picture.isNull()) << where;
            EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), ratio) << where;
            EXPECT_NEAR(picture.width(), edge * ratio, 1.0) << where;
            EXPECT_NEAR(picture.height(), edge * ratio, 1.0) << where;
            EXPECT_EQ(label->size(), QSize(edge, edge)) << where;

            const auto inkOf = [](const QImage& image) {
                QRect ink;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        if (image.pixelColor(x, y).alpha() > 64)
                            ink |= QRect(x, y, 1, 1);
                    }
                }
                return ink;
            };
            const QRect labelInk = inkOf(picture.toImage());
            // A glyph, not a crop of one: it keeps a margin inside its square on at least one side of each axis.
            EXPECT_TRUE(labelInk.left() > 0 || labelInk.right() < picture.width() - 1) << where;
            EXPECT_TRUE(labelInk.top() > 0 || labelInk.bottom() < picture.height() - 1) << where;

            QImage painted(picture.size(), QImage::Format_ARGB32_Premultiplied);
            painted.setDevicePixelRatio(ratio);
            painted.fill(Qt::transparent);
            {
                QPainter painter(&painted);
                tintedIcon(name, color(Tint::blue)).paint(&painter, QRect(0, 0, edge, edge));
            }
            const QRect paintedInk = inkOf(painted);
            EXPECT_NEAR(paintedInk.left(), labelInk.left(), 1) << where;
            EXPECT_NEAR(paintedInk.right(), labelInk.right(), 1) << where;
            EXPECT_NEAR(paintedInk.top(), labelInk.top(), 1) << where;
            EXPECT_NEAR(paintedInk.bottom(), labelInk.bottom(), 1) << where;
        }
    }
}

TEST(Theme, FieldClearMarkIsThePlatformsOwnInEitherDirection) {
    // The application's style hands the mark out before looking it up; drawn, it is the platform style's mark.
    const std::unique_ptr<QStyle> platform(QStyleFactory::create(QStringLiteral("Fusion")));
    ASSERT_TRUE(platform);
    const qreal ratio = qApp->devicePixelRatio();
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        QStyleOption option;
        option.direction = direction;
        const QIcon ours = QApplication::style()->standardIcon(QStyle::SP_LineEditClearButton, &option);
        const QIcon theirs = platform->standardIcon(QStyle::SP_LineEditClearButton, &option);
        ASSERT_FALSE(theirs.isNull());
        EXPECT_FALSE(ours.isNull());
        for (const int edge : {16, 22, 32}) {
            for (const qreal scale : {1.0, ratio, 2.0}) {
                const std::string where = std::to_string(edge) + " x" + std::to_string(scale) +
                                          (direction == Qt::RightToLeft ? " rtl" : " ltr");
                const QPixmap drawn = ours.pixmap(QSize(edge, edge), scale);
                const QPixmap expected = theirs.pixmap(QSize(edge, edge), scale);
                ASSERT_FALSE(drawn.isNull()) << where;
                EXPECT_EQ(drawn.size(), expected.size()) << where;
                EXPECT_DOUBLE_EQ(drawn.devicePixelRatio(), expected.devicePixelRatio()) << where;
                EXPECT_EQ(drawn.toImage().convertToFormat(QImage::Format_ARGB32),
                          expected.toImage().convertToFormat(QImage::Format_ARGB32))
                    << where;
            }
            EXPECT_EQ(ours.actualSize(QSize(edge, edge)), theirs.actualSize(QSize(edge, edge)));
        }
    }
}
