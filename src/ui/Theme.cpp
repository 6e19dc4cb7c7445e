#include "ui/Theme.h"

#include "ui/GlyphDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QIconEngine>
#include <QLabel>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QSet>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace halvo::theme {

namespace {

// ---- colours ----

// Every tint is dark enough to be read as text on each surface and inside its own badge, and to carry
// white text as a button fill (4.5:1 at least; tests/ui/ContrastTest.cpp checks each pair).
constexpr QRgb kPrimaryText = qRgb(29, 29, 31);
constexpr QRgb kSecondaryText = qRgb(96, 96, 101);
constexpr QRgb kWindow = qRgb(242, 242, 245);
constexpr QRgb kCardBackground = qRgb(255, 255, 255);
constexpr QRgb kSidebar = qRgb(248, 248, 250);
// Keyboard focus: a dark ring, at least 3:1 against every surface and every button fill.
constexpr QRgb kFocusRing = qRgb(0, 38, 102);
constexpr int kFocusRingWidth = 2;
// The lines of a console screen, on its black.
constexpr QRgb kConsoleText = qRgb(48, 200, 90);
// The fill of a status badge: its tint at 15 %.
constexpr qreal kBadgeFillOpacity = 0.15;
// Scroll-bar handles stand out from white cards and the window (3:1).
constexpr QRgb kScrollHandle = qRgb(128, 128, 133);
constexpr QRgb kScrollHandleHover = qRgb(100, 100, 105);
// A disabled button is pale grey with grey text, whatever its variant.
constexpr QRgb kDisabledButton = qRgb(236, 236, 239);
constexpr QRgb kDisabledButtonText = qRgb(160, 160, 165);

QColor baseColor(Tint tint) {
    switch (tint) {
    case Tint::blue:
        return QColor(0, 92, 194);
    case Tint::green:
        return QColor(24, 110, 48);
    case Tint::orange:
        return QColor(143, 80, 0);
    case Tint::red:
        return QColor(184, 27, 18);
    case Tint::purple:
        return QColor(138, 44, 196);
    case Tint::teal:
        return QColor(22, 104, 121);
    case Tint::indigo:
        return QColor(78, 76, 210);
    case Tint::yellow:
        return QColor(118, 92, 0);
    case Tint::pink:
        return QColor(184, 9, 44);
    case Tint::gray:
        return QColor(92, 92, 98);
    case Tint::primary:
        return QColor(kPrimaryText);
    case Tint::secondary:
        return QColor(kSecondaryText);
    }
    return QColor(kPrimaryText);
}

// The alpha of a colour as the style sheet is given it.
QString alphaText(const QColor& c) {
    return QString::number(c.alphaF(), 'f', 3);
}

QString rgba(const QColor& c) {
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(alphaText(c));
}

// ---- text styles, as factors of the body size (the application font) ----

qreal sizeFactor(TextStyle style) {
    switch (style) {
    case TextStyle::largeTitle:
        return 2.0;
    case TextStyle::title:
        return 1.7;
    case TextStyle::title2:
        return 1.35;
    case TextStyle::title3:
        return 1.18;
    case TextStyle::headline:
        return 1.0;
    case TextStyle::subheadline:
        return 0.93;
    case TextStyle::body:
        return 1.0;
    case TextStyle::callout:
        return 0.96;
    case TextStyle::caption:
        return 0.86;
    case TextStyle::caption2:
        return 0.8;
    }
    return 1.0;
}

constexpr qreal kMinimumPointSize = 7.0;

QFont::Weight qtWeight(Weight weight) {
    switch (weight) {
    case Weight::regular:
        return QFont::Normal;
    case Weight::medium:
        return QFont::Medium;
    case Weight::semibold:
        return QFont::DemiBold;
    case Weight::bold:
        return QFont::Bold;
    }
    return QFont::Normal;
}

// The weight to ask for so that text draws as it would with `asked`. A system without a medium or semibold face
// draws those weights with the nearest face it has (regular, bold); asking for that face's own weight draws the
// same pixels and shares its font engine, glyphs and shaping tables with the texts that ask for it directly, where
// every weight asked for would load them again. Found once per family and weight from the faces the font
// database lists; a face of the asked weight, or two faces equally near, keep the weight.
QFont::Weight drawnWeight(const QFont& font, QFont::Weight asked) {
    if (asked == QFont::Normal || asked == QFont::Bold)
        return asked;
    static QMutex mutex;
    static QHash<QString, QFont::Weight> resolved;
    const QString key = font.families().join(QLatin1Char(',')) + QLatin1Char('/') +
                        QString::number(int(font.styleHint())) + QLatin1Char('/') + QString::number(int(asked));
    const QMutexLocker locker(&mutex);
    if (const auto hit = resolved.constFind(key); hit != resolved.constEnd())
        return hit.value();
    // The family the database draws this font with: a name like "Sans Serif" stands for an installed family.
    QFont regular = font;
    regular.setWeight(QFont::Normal);
    const QString family = QFontInfo(regular).family();
    int nearest = -1;
    bool tie = false;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::italic(family, style))
            continue;
        const int weight = QFontDatabase::weight(family, style);
        if (weight <= 0 || weight == nearest)
            continue;
        const int distance = std::abs(weight - int(asked));
        const int nearestDistance = nearest < 0 ? INT_MAX : std::abs(nearest - int(asked));
        if (distance < nearestDistance) {
            nearest = weight;
            tie = false;
        } else if (distance == nearestDistance) {
            tie = true;
        }
    }
    const QFont::Weight result =
        nearest > 0 && !tie && (nearest == QFont::Normal || nearest == QFont::Bold) ? QFont::Weight(nearest) : asked;
    resolved.insert(key, result);
    return result;
}

// ---- icons ----

// Symbol name -> freedesktop icon name. Every symbol that a view names needs an entry here; the ui tests
// scan the view sources for names missing from this table.
constexpr std::pair<const char*, const char*> kIconEntries[] = {
    // sections and the main window
    {"globe.europe.africa.fill", "map-globe"},
    {"cloud.fill", "folder-cloud"},
    {"server.rack", "network-server"},
    {"network", "network-wired"},
    {"magnifyingglass", "edit-find"},
    {"eye", "password-show-on"},
    {"eye.slash", "password-show-off"},
    // hardware and servers
    {"cpu", "show-gpu-effects"},
    {"cpu.fill", "show-gpu-effects"},
    {"memorychip.fill", "media-flash-memory-stick"},
    {"internaldrive.fill", "drive-harddisk"},
    {"externaldrive.badge.timemachine", "drive-removable-media"},
    {"externaldrive.fill.badge.plus", "drive-removable-media"},
    {"externaldrive.fill.badge.checkmark", "drive-removable-media-usb"},
    {"opticaldisc.fill", "media-optical"},
    {"display", "monitor"},
    {"display.2", "monitor"},
    {"display.and.arrow.down", "document-export"},
    {"terminal.fill", "utilities-terminal"},
    {"building.2.fill", "go-home"},
    {"cabinet.fill", "server-database"},
    {"speedometer", "speedometer"},
    {"stethoscope", "tools-report-bug"},
    {"camera.aperture", "camera-photo"},
    {"chart.pie.fill", "office-chart-pie"},
    {"waveform.path.ecg", "view-media-equalizer"},
    {"bolt.horizontal.fill", "system-run"},
    {"lifepreserver.fill", "help-hint"},
    {"gamecontroller.fill", "input-gamepad"},
    // power
    {"power.circle.fill", "system-shutdown"},
    {"play.fill", "media-playback-start"},
    {"stop.fill", "media-playback-stop"},
    {"arrow.clockwise", "view-refresh"},
    {"arrow.clockwise.circle.fill", "system-reboot"},
    {"arrow.triangle.2.circlepath", "view-refresh"},
    {"arrow.triangle.2.circlepath.circle.fill", "view-refresh"},
    // network and addresses
    {"globe", "globe"},
    {"network.badge.shield.half.filled", "firewall-applet-shields_up"},
    {"point.3.connected.trianglepath.dotted", "network-connect"},
    {"arrow.left.arrow.right.circle.fill", "exchange-positions"},
    {"arrow.triangle.swap", "exchange-positions"},
    {"arrow.triangle.merge", "vcs-merge"},
    {"arrow.triangle.branch", "vcs-branch"},
    {"arrow.up.right.circle.fill", "go-jump"},
    {"arrow.up.right.square.fill", "go-jump"},
    {"link.circle.fill", "link"},
    {"mappin.and.ellipse", "mark-location"},
    // security
    {"lock.fill", "object-locked"},
    {"lock.open.fill", "object-unlocked"},
    {"key.fill", "dialog-password"},
    {"shield.fill", "security-medium"},
    {"shield.checkered", "security-medium"},
    {"shield.lefthalf.filled", "security-medium"},
    {"shield.lefthalf.filled.badge.checkmark", "security-high"},
    {"checkmark.shield.fill", "security-high"},
    {"plus.shield.fill", "security-high"},
    {"exclamationmark.shield.fill", "security-low"},
    {"flame.fill", "firewall-applet"},
    {"hand.raised.fill", "process-stop"},
    // state and lists
    {"checkmark.circle.fill", "dialog-ok-apply"},
    {"checkmark.seal.fill", "checkmark"},
    {"exclamationmark.triangle.fill", "dialog-warning"},
    {"plus.circle.fill", "list-add"},
    {"trash", "edit-delete"},
    {"doc.on.doc", "edit-copy"},
    {"doc.text", "text-plain"},
    {"tag.fill", "tag"},
    {"clock.fill", "clock"},
    {"calendar.badge.clock", "view-calendar-upcoming-events"},
    {"checklist", "view-task"},
    {"list.bullet", "format-list-unordered"},
    {"list.bullet.rectangle.portrait.fill", "view-list-details"},
    {"rectangle.3.group.fill", "view-list-icons"},
    {"square.grid.2x2.fill", "view-grid"},
    {"square.split.2x2.fill", "view-split-left-right"},
};

const QHash<QString, QString>& iconTable() {
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> result;
        for (const auto& [symbol, name] : kIconEntries)
            result.insert(QString::fromLatin1(symbol), QString::fromLatin1(name));
        return result;
    }();
    return table;
}

// The icon names in the table's order, each once: the sections and the main window first.
QStringList iconNamesInOrder() {
    QStringList names;
    for (const auto& entry : kIconEntries) {
        const QString name = QString::fromLatin1(entry.second);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

// Symbols no freedesktop icon theme has, drawn here: a digit cut out of a filled circle.
const QHash<QString, QChar>& drawnDigitSymbols() {
    static const QHash<QString, QChar> table{
        {QStringLiteral("4.circle.fill"), QLatin1Char('4')},
        {QStringLiteral("6.circle.fill"), QLatin1Char('6')},
    };
    return table;
}

// Symbols asked for without an entry; only the main thread draws.
QSet<QString>& unknownSymbols() {
    static QSet<QString> names;
    return names;
}

// The small sizes of the icon theme are drawn as single-colour glyphs, the large ones as coloured
// pictures. A tinted symbol is a silhouette, so it is drawn from the small glyph's vector file at any size.
// A glyph is found once per name: its file, or the theme's icon where the small sizes have none.
struct MonochromeGlyph {
    QString file;
    QIcon themed;
    bool isNull() const { return file.isEmpty() && themed.isNull(); }
};

QHash<QString, MonochromeGlyph>& loadedGlyphs() {
    static QHash<QString, MonochromeGlyph> glyphs;
    return glyphs;
}

// The folders of the small sizes in the icon theme and its fallback, in lookup order: search path, theme,
// context (alphabetical), 22 before 16. Listing them costs a few directory reads; the files are never scanned.
QStringList smallIconFolders(const QString& theme) {
    QStringList themes{theme};
    if (!QIcon::fallbackThemeName().isEmpty() && QIcon::fallbackThemeName() != theme)
        themes.append(QIcon::fallbackThemeName());
    QStringList folders;
    for (const QString& base : QIcon::themeSearchPaths()) {
        for (const QString& themeName : std::as_const(themes)) {
            const QDir themeDir(base + QLatin1Char('/') + themeName);
            if (!themeDir.exists())
                continue;
            for (const QString& context : themeDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                for (const char* size : {"22", "16"}) {
                    const QString sized = themeDir.filePath(context + QLatin1Char('/') + QLatin1String(size));
                    if (QFileInfo(sized).isDir())
                        folders.append(sized + QLatin1Char('/'));
                }
            }
        }
    }
    return folders;
}

// The small-size folders of the icon theme in use, listed again when the theme changes.
const QStringList& glyphFolders() {
    static QStringList folders;
    static QString indexedTheme;
    const QString theme = QIcon::themeName().isEmpty() ? QIcon::fallbackThemeName() : QIcon::themeName();
    if (indexedTheme != theme) {
        indexedTheme = theme;
        folders = smallIconFolders(theme);
        loadedGlyphs().clear();
    }
    return folders;
}

// The first of the folders that has the glyph's vector file; empty when none has.
QString glyphFile(const QStringList& folders, const QString& name) {
    const QString fileName = name + QStringLiteral(".svg");
    for (const QString& folder : folders) {
        if (QFileInfo::exists(folder + fileName))
            return folder + fileName;
    }
    return {};
}

// Parsed once per process; the theme's glyph files are parsed ahead once the theme is installed.
GlyphDocuments& glyphDocuments() {
    static GlyphDocuments documents;
    // Let go of them with the application, whose objects they are.
    static const bool clearedWithTheApplication = [] {
        qAddPostRoutine([] { glyphDocuments().clear(); });
        return true;
    }();
    Q_UNUSED(clearedWithTheApplication)
    return documents;
}

MonochromeGlyph monochromeGlyph(const QString& name) {
    const QStringList& folders = glyphFolders();
    QHash<QString, MonochromeGlyph>& loaded = loadedGlyphs();
    if (const auto hit = loaded.constFind(name); hit != loaded.constEnd())
        return hit.value();
    MonochromeGlyph result;
    result.file = glyphFile(folders, name);
    if (result.file.isEmpty())
        result.themed = QIcon::fromTheme(name);
    loaded.insert(name, result);
    return result;
}

// The glyph's vector file drawn once per size, fitted and centred as the icon engines draw it: the file is
// parsed once, where an icon built from the file reads it again for each use.
QPixmap renderGlyphFile(const QString& file, const QSize& size) {
    const QString key = QStringLiteral("halvo-glyph:%1:%2x%3").arg(file).arg(size.width()).arg(size.height());
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    const QImage glyph = glyphDocuments().draw(file, size);
    if (glyph.isNull())
        return {};
    const QSize drawn = glyph.size();
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.drawImage(QPoint((size.width() - drawn.width()) / 2, (size.height() - drawn.height()) / 2), glyph);
    }
    QPixmap result = QPixmap::fromImage(std::move(canvas));
    QPixmapCache::insert(key, result);
    return result;
}

// Draws the glyph as a silhouette in one colour, so that symbols follow the tint like text does.
class TintedIconEngine final : public QIconEngine {
public:
    TintedIconEngine(MonochromeGlyph glyph, QColor color)
        : m_glyph(std::move(glyph))
        , m_color(std::move(color)) {}

    // Sizes given to `pixmap` and `scaledPixmap` are device pixels; the base is asked for exactly that many
    // (ratio 1), so the device pixel ratio is applied once, here or by QIcon, never twice.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)), mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap result = pixmap(size, mode, state);
        result.setDevicePixelRatio(scale);
        return result;
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QString source = m_glyph.file.isEmpty() ? QString::number(m_glyph.themed.cacheKey()) : m_glyph.file;
        const QString key = QStringLiteral("halvo-tint:%1:%2:%3x%4:%5:%6")
                                .arg(source)
                                .arg(m_color.rgba())
                                .arg(size.width())
                                .arg(size.height())
                                .arg(int(mode))
                                .arg(int(state));
        QPixmap cached;
        if (QPixmapCache::find(key, &cached))
            return cached;
        QPixmap result = m_glyph.file.isEmpty() ? m_glyph.themed.pixmap(size, 1.0, QIcon::Normal, state)
                                                : renderGlyphFile(m_glyph.file, size);
        if (result.isNull())
            return result;
        result.setDevicePixelRatio(1.0);
        {
            QPainter p(&result);
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            QColor fill = m_color;
            if (mode == QIcon::Disabled)
                fill.setAlphaF(fill.alphaF() * 0.4);
            p.fillRect(result.rect(), fill);
        }
        QPixmapCache::insert(key, result);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (m_glyph.file.isEmpty())
            return m_glyph.themed.actualSize(size, mode, state);
        return size;
    }

    QIconEngine* clone() const override { return new TintedIconEngine(m_glyph, m_color); }
    bool isNull() override { return m_glyph.isNull(); }

private:
    MonochromeGlyph m_glyph;
    QColor m_color;
};

// An icon made by `make` when it is first drawn or asked about, not when it is handed out.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_made(std::make_shared<Made>()) {
        m_made->make = std::move(make);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    // QIcon asks for device pixels at the scale; the made icon is asked as QIcon was, in points at the scale.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        if (scale <= 1.0)
            return pixmap(size, mode, state);
        const QSize points(qRound(size.width() / scale), qRound(size.height() / scale));
        return icon().pixmap(points, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    struct Made {
        std::function<QIcon()> make;
        std::optional<QIcon> icon;
    };

    DeferredIconEngine(const DeferredIconEngine& other) = default;

    const QIcon& icon() {
        if (!m_made->icon)
            m_made->icon = m_made->make ? m_made->make() : QIcon();
        return *m_made->icon;
    }

    std::shared_ptr<Made> m_made;
};

// The platform look with the theme's focus ring on the controls that the style sheet leaves to the style
// (a style-sheet box would drop the drop-down arrow of a choice).
class HalvoStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    // A field's clear mark shows only once the field holds text: the platform's mark is looked up then, since
    // the first lookup of a themed icon reads the whole icon theme's index, which the first window can do
    // without.
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option, const QWidget* widget) const override {
        if (standardIcon != SP_LineEditClearButton)
            return QProxyStyle::standardIcon(standardIcon, option, widget);
        QStyleOption asked;
        if (option)
            asked.direction = option->direction;
        else
            asked.direction = widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
        const QPointer<QStyle> base(baseStyle());
        return QIcon(new DeferredIconEngine(
            [base, asked] { return base ? base->standardIcon(SP_LineEditClearButton, &asked, nullptr) : QIcon(); }));
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control != CC_ComboBox || !option->state.testFlag(State_HasFocus))
            return;
        const qreal width = kFocusRingWidth;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(QColor(kFocusRing), width));
        painter->drawRoundedRect(QRectF(option->rect).adjusted(width / 2, width / 2, -width / 2, -width / 2), 4, 4);
        painter->restore();
    }
};

// A filled circle in one colour with a digit cut out of it, at any size; the digit shows what lies beneath.
class DigitCircleIconEngine final : public QIconEngine {
public:
    DigitCircleIconEngine(QChar digit, QColor color)
        : m_digit(digit)
        , m_color(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QColor fill = m_color;
        if (mode == QIcon::Disabled)
            fill.setAlphaF(fill.alphaF() * 0.4);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawPath(shape(QRectF(rect)));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QString key = QStringLiteral("halvo-digit:%1:%2:%3x%4:%5")
                                .arg(m_digit)
                                .arg(m_color.rgba())
                                .arg(size.width())
                                .arg(size.height())
                                .arg(int(mode));
        QPixmap result;
        if (QPixmapCache::find(key, &result))
            return result;
        result = QPixmap(size);
        result.fill(Qt::transparent);
        {
            QPainter painter(&result);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        QPixmapCache::insert(key, result);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new DigitCircleIconEngine(m_digit, m_color); }
    bool isNull() override { return false; }

private:
    QPainterPath shape(const QRectF& rect) const {
        // The same margin as the icon theme's glyphs, and a bold digit about two thirds of the circle high.
        const qreal diameter = std::min(rect.width(), rect.height()) * 0.92;
        QRectF circle(0, 0, diameter, diameter);
        circle.moveCenter(rect.center());
        QPainterPath disc;
        disc.addEllipse(circle);
        QFont digitFont = font(TextStyle::body, Weight::bold);
        digitFont.setPixelSize(std::max(1, qRound(diameter * 0.64)));
        QPainterPath digit;
        digit.addText(0, 0, digitFont, QString(m_digit));
        digit.translate(circle.center() - digit.boundingRect().center());
        return disc.subtracted(digit);
    }

    QChar m_digit;
    QColor m_color;
};

QString buildStyleSheet() {
    const QString primary = rgba(color(Tint::primary));
    const QString hairline = rgba(hairlineColor());
    // The tall hairlines that lie on the window: its column divider and the section splitter's handle.
    const QString hairlineOnWindow = rgba(hairlineOn(QColor(kWindow)));
    const QString cardBackground = rgba(QColor(kCardBackground));
    const QString ring = rgba(focusRingColor());
    const QString selection = rgba(selectionBackground());
    const QString fieldBorder = rgba(color(Tint::primary, 0.18));
    // Every focusable control keeps a ring-wide transparent border and colours it when it has focus, so
    // focusing changes no size. Fills are clipped to the padding, so the ring lies around the fill.
    const int ringWidth = kFocusRingWidth;
    QString css;
    css += QStringLiteral("QMainWindow, QDialog { background: %1; }\n").arg(rgba(QColor(kWindow)));
    css += QStringLiteral("HalvoSectionCard { background: %1; border: 1px solid %2; border-radius: 12px; }\n")
               .arg(cardBackground, hairline);
    css += QStringLiteral("HalvoSpecTile { background: %1; border: 1px solid %2; border-radius: 10px; }\n")
               .arg(cardBackground, hairline);
    css += QStringLiteral("QFrame#halvoListRow { background: %1; border: none; border-radius: 8px; }\n")
               .arg(rgba(listRowBackground()));
    css += QStringLiteral("QFrame#halvoDivider { background: %1; border: none; }\n"
                          "QFrame#halvoDivider[vertical=\"true\"] { background: %2; }\n")
               .arg(hairline, hairlineOnWindow);
    css += QStringLiteral("QWidget#halvoHeaderBand { background: %1; }\n").arg(rgba(headerBandBackground()));
    css += QStringLiteral("QWidget#halvoTabBar { background: %1; }\n").arg(rgba(tabBarBackground()));
    // Lists and tables: the whole view is one Tab stop and wears the ring while it has focus.
    css += QStringLiteral("QWidget#halvoSidebar { background: %1; border: none; }\n"
                          "QListView#halvoSidebarList { background: %1; border: %2px solid transparent; }\n"
                          "QListView#halvoSidebarList:focus { border-color: %3; }\n")
               .arg(rgba(QColor(kSidebar)))
               .arg(ringWidth)
               .arg(ring);
    // The row the arrows act on wears the ring while its list has focus.
    css += QStringLiteral("QListView#halvoSidebarList::item { border-radius: 6px; margin: 1px 6px; "
                          "border: %3px solid transparent; }\n"
                          "QListView#halvoSidebarList::item:selected { background: %1; }\n"
                          "QListView#halvoSidebarList::item:hover:!selected { background: %2; }\n"
                          "QListView#halvoSidebarList::item:focus { border-color: %4; }\n")
               .arg(selection, rgba(color(Tint::primary, 0.05)))
               .arg(ringWidth)
               .arg(ring);
    css += QStringLiteral("QWidget#halvoNavigation { background: %1; }\n"
                          "QListWidget#halvoSectionList { background: transparent; border: %5px solid transparent; "
                          "color: %2; }\n"
                          "QListWidget#halvoSectionList:focus { border-color: %6; }\n"
                          "QListWidget#halvoSectionList::item { border-radius: 6px; margin: 1px 6px; padding: 0px 2px; "
                          "border: %5px solid transparent; color: %2; }\n"
                          "QListWidget#halvoSectionList::item:selected { background: %3; color: %2; }\n"
                          "QListWidget#halvoSectionList::item:hover:!selected { background: %4; }\n"
                          "QListWidget#halvoSectionList::item:focus { border-color: %6; }\n")
               .arg(rgba(QColor(kSidebar)), primary, selection, rgba(color(Tint::primary, 0.05)))
               .arg(ringWidth)
               .arg(ring);
    css += QStringLiteral("QListView#dnsRecordTable { border: %1px solid transparent; "
                          "selection-background-color: %2; selection-color: %3; }\n"
                          "QListView#dnsRecordTable:focus { border-color: %4; }\n")
               .arg(ringWidth)
               .arg(selection, primary, ring);
    css += QStringLiteral("QWidget#halvoHeaderBar, QWidget#halvoStatusBar { background: %1; }\n")
               .arg(rgba(headerBandBackground()));
    css += QStringLiteral("QSplitter#halvoSectionSplitter::handle { background: %1; }\n").arg(hairlineOnWindow);
    css += QStringLiteral("QScrollArea#halvoContentScroll, QScrollArea#halvoTabScroll { background: transparent; "
                          "border: none; }\n");
    css += QStringLiteral("QWidget#halvoContent, QWidget#halvoTabRow { background: transparent; }\n");
    css += QStringLiteral("QFrame#halvoWarningBox { background: %1; border: 1px solid %2; border-radius: 8px; }\n")
               .arg(rgba(color(Tint::orange, 0.12)), rgba(color(Tint::orange, 0.45)));
    // Scroll bars: a grey handle that shows on white cards as on the window.
    css += QStringLiteral(
               "QScrollBar:vertical { background: transparent; width: 12px; margin: 0; }\n"
               "QScrollBar:horizontal { background: transparent; height: 12px; margin: 0; }\n"
               "QScrollBar::handle:vertical { background: %1; border-radius: 4px; min-height: 28px; margin: 2px; }\n"
               "QScrollBar::handle:horizontal { background: %1; border-radius: 4px; min-width: 28px; margin: 2px; }\n"
               "QScrollBar::handle:hover, QScrollBar::handle:pressed { background: %2; }\n"
               "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; background: none; }\n"
               "QScrollBar::add-page, QScrollBar::sub-page { background: none; }\n")
               .arg(rgba(scrollHandleColor()), rgba(QColor(kScrollHandleHover)));
    // Fields: selected text keeps the text colour on the pale selection fill.
    css += QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; border-radius: 6px; padding: 4px 7px; "
                          "color: %3; selection-background-color: %4; selection-color: %3; }\n"
                          "QLineEdit:focus { border: %5px solid %6; padding: 3px 6px; }\n")
               .arg(cardBackground, fieldBorder, primary, selection)
               .arg(ringWidth)
               .arg(ring);
    css += QStringLiteral("QPlainTextEdit { background: %3; border: 1px solid %4; border-radius: 6px; padding: 1px; "
                          "selection-background-color: %1; selection-color: %2; }\n"
                          "QPlainTextEdit:focus { border: %5px solid %6; padding: 0px; }\n")
               .arg(selection, primary, cardBackground, fieldBorder)
               .arg(ringWidth)
               .arg(ring);
    css += QStringLiteral("QPushButton#halvoCopyChip { background: %1; color: %2; border: %4px solid transparent; "
                          "background-clip: padding; border-radius: 8px; padding: 1px 7px; }\n"
                          "QPushButton#halvoCopyChip:pressed { background: %3; }\n"
                          "QPushButton#halvoCopyChip:focus { border-color: %5; }\n")
               .arg(rgba(color(Tint::blue, 0.12)), rgba(color(Tint::blue)), rgba(color(Tint::blue, 0.25)))
               .arg(ringWidth)
               .arg(ring);
    css += QStringLiteral("QPushButton#halvoRevealSwitch { background: transparent; border: %1px solid transparent; "
                          "border-radius: 6px; padding: 0px; }\n"
                          "QPushButton#halvoRevealSwitch:focus { border-color: %2; }\n")
               .arg(ringWidth)
               .arg(ring);

    for (const Tint tint : {Tint::blue, Tint::green, Tint::orange, Tint::red, Tint::purple, Tint::teal, Tint::indigo,
                            Tint::yellow, Tint::pink, Tint::gray, Tint::primary, Tint::secondary}) {
        css += QStringLiteral("HalvoStatusBadge[tint=\"%1\"] { background: %2; border: none; border-radius: 9px; }\n")
                   .arg(tintName(tint), rgba(color(tint, kBadgeFillOpacity)));
    }

    for (const HalvoButtonVariant variant :
         {HalvoButtonVariant::primary, HalvoButtonVariant::success, HalvoButtonVariant::warning,
          HalvoButtonVariant::danger, HalvoButtonVariant::purple, HalvoButtonVariant::secondary}) {
        const QColor fill = buttonColor(variant);
        const QColor pressed = fill.darker(115);
        const QColor hover = fill.lighter(106);
        const QString selector = QStringLiteral("HalvoActionButton[variant=\"%1\"]").arg(variantName(variant));
        const QString border = variant == HalvoButtonVariant::secondary ? hairline : QStringLiteral("transparent");
        css += QStringLiteral("%1 { background: %2; color: %3; border: %7px solid %4; background-clip: padding; "
                              "border-radius: 9px; padding: 6px 14px; }\n"
                              "%1[small=\"true\"] { border-radius: 8px; padding: 3px 9px; }\n"
                              "%1:hover { background: %5; }\n"
                              "%1:pressed { background: %6; }\n"
                              "%1:focus { border-color: %8; }\n"
                              "%1:disabled { background: %9; color: %10; border-color: transparent; }\n")
                   .arg(selector, rgba(fill), rgba(buttonTextColor(variant)), border, rgba(hover), rgba(pressed))
                   .arg(ringWidth)
                   .arg(ring, rgba(disabledButtonColor()), rgba(disabledButtonTextColor()));
    }
    return css;
}

} // namespace

// ---- text styles ----

QFont font(TextStyle style, Weight weight, bool monospaced) {
    QFont result = QGuiApplication::font();
    qreal base = result.pointSizeF();
    if (base <= 0)
        base = 10.0;
    if (monospaced) {
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        result.setFamilies(fixed.families());
        result.setStyleHint(QFont::Monospace);
        result.setFixedPitch(true);
    }
    result.setPointSizeF(std::max(kMinimumPointSize, base * sizeFactor(style)));
    // A headline is semibold unless a heavier weight is asked for.
    if (style == TextStyle::headline && weight == Weight::regular)
        weight = Weight::semibold;
    result.setWeight(drawnWeight(result, qtWeight(weight)));
    return result;
}

// ---- colours ----

QColor color(Tint tint, qreal opacity) {
    QColor result = baseColor(tint);
    result.setAlphaF(std::clamp(opacity, 0.0, 1.0));
    return result;
}

QColor buttonColor(HalvoButtonVariant variant) {
    switch (variant) {
    case HalvoButtonVariant::primary:
        return color(Tint::blue);
    case HalvoButtonVariant::success:
        return color(Tint::green);
    case HalvoButtonVariant::warning:
        return color(Tint::orange);
    case HalvoButtonVariant::danger:
        return color(Tint::red);
    case HalvoButtonVariant::purple:
        return color(Tint::purple);
    case HalvoButtonVariant::secondary:
        return QColor(229, 229, 234);
    }
    return color(Tint::blue);
}

QColor buttonTextColor(HalvoButtonVariant variant) {
    return variant == HalvoButtonVariant::secondary ? color(Tint::primary) : QColor(Qt::white);
}

QColor listRowBackground() {
    return color(Tint::primary, 0.04);
}

QColor headerBandBackground() {
    return QColor(250, 250, 252, 235);
}

QColor tabBarBackground() {
    return color(Tint::primary, 0.03);
}

QColor consoleBackground() {
    return QColor(Qt::black);
}

QColor consoleTextColor() {
    return QColor(kConsoleText);
}

QColor hairlineColor() {
    return color(Tint::primary, 0.10);
}

QColor hairlineOn(const QColor& surface) {
    // The line as the style sheet draws it: the sheet reads the alpha of rgba() as a fraction and keeps the whole
    // part of its 0-255 value. Blended by the raster engine itself, so that the colour is exactly the pixel the
    // translucent line gives.
    QColor line = hairlineColor();
    line.setAlpha(int(alphaText(line).toDouble() * 255));
    QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
    pixel.fill(surface.rgb());
    QPainter(&pixel).fillRect(QRect(0, 0, 1, 1), line);
    return pixel.pixelColor(0, 0);
}

QColor windowBackground() {
    return QColor(kWindow);
}

QColor cardBackground() {
    return QColor(kCardBackground);
}

QColor sidebarBackground() {
    return QColor(kSidebar);
}

QColor badgeBackground(Tint tint) {
    return color(tint, kBadgeFillOpacity);
}

QColor focusRingColor() {
    return QColor(kFocusRing);
}

int focusRingWidth() {
    return kFocusRingWidth;
}

QColor selectionBackground() {
    // The blue at 16 % over a card, opaque, so it looks the same on the sidebar and on a card.
    const QColor blue = color(Tint::blue);
    const auto mix = [](int tint, int base) { return int(std::lround(base + (tint - base) * 0.16)); };
    const QColor base(kCardBackground);
    return QColor(mix(blue.red(), base.red()), mix(blue.green(), base.green()), mix(blue.blue(), base.blue()));
}

QColor scrollHandleColor() {
    return QColor(kScrollHandle);
}

QColor disabledButtonColor() {
    return QColor(kDisabledButton);
}

QColor disabledButtonTextColor() {
    return QColor(kDisabledButtonText);
}

QString variantName(HalvoButtonVariant variant) {
    switch (variant) {
    case HalvoButtonVariant::primary:
        return QStringLiteral("primary");
    case HalvoButtonVariant::success:
        return QStringLiteral("success");
    case HalvoButtonVariant::warning:
        return QStringLiteral("warning");
    case HalvoButtonVariant::danger:
        return QStringLiteral("danger");
    case HalvoButtonVariant::purple:
        return QStringLiteral("purple");
    case HalvoButtonVariant::secondary:
        return QStringLiteral("secondary");
    }
    return {};
}

QString tintName(Tint tint) {
    switch (tint) {
    case Tint::blue:
        return QStringLiteral("blue");
    case Tint::green:
        return QStringLiteral("green");
    case Tint::orange:
        return QStringLiteral("orange");
    case Tint::red:
        return QStringLiteral("red");
    case Tint::purple:
        return QStringLiteral("purple");
    case Tint::teal:
        return QStringLiteral("teal");
    case Tint::indigo:
        return QStringLiteral("indigo");
    case Tint::yellow:
        return QStringLiteral("yellow");
    case Tint::pink:
        return QStringLiteral("pink");
    case Tint::gray:
        return QStringLiteral("gray");
    case Tint::primary:
        return QStringLiteral("primary");
    case Tint::secondary:
        return QStringLiteral("secondary");
    }
    return {};
}

// ---- icons ----

QIcon icon(const QString& symbolName) {
    if (const auto digit = drawnDigitSymbols().constFind(symbolName); digit != drawnDigitSymbols().constEnd())
        return QIcon(new DigitCircleIconEngine(digit.value(), color(Tint::primary)));
    const auto it = iconTable().constFind(symbolName);
    if (it == iconTable().constEnd()) {
        if (!symbolName.isEmpty())
            unknownSymbols().insert(symbolName);
        return {};
    }
    return QIcon::fromTheme(it.value());
}

QString iconName(const QString& symbolName) {
    return iconTable().value(symbolName);
}

QStringList unknownSymbolsRequested() {
    QStringList names(unknownSymbols().cbegin(), unknownSymbols().cend());
    names.sort();
    return names;
}

void clearUnknownSymbolsRequested() {
    unknownSymbols().clear();
}

bool hasIcon(const QString& symbolName) {
    return iconTable().contains(symbolName) || drawnDigitSymbols().contains(symbolName);
}

QStringList knownSymbols() {
    QStringList names = iconTable().keys() + drawnDigitSymbols().keys();
    names.sort();
    return names;
}

QIcon tintedIcon(const QString& symbolName, const QColor& tintColor) {
    if (const auto digit = drawnDigitSymbols().constFind(symbolName); digit != drawnDigitSymbols().constEnd())
        return QIcon(new DigitCircleIconEngine(digit.value(), tintColor));
    MonochromeGlyph glyph;
    if (hasIcon(symbolName))
        glyph = monochromeGlyph(iconName(symbolName));
    else
        glyph.themed = icon(symbolName);
    if (glyph.isNull())
        return {};
    return QIcon(new TintedIconEngine(std::move(glyph), tintColor));
}

int symbolSize(TextStyle style) {
    return QFontMetrics(font(style)).height();
}

// ---- labels ----

void style(QLabel* label, TextStyle textStyle, Weight weight, Tint tint, bool monospaced) {
    label->setFont(font(textStyle, weight, monospaced));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color(tint));
    palette.setColor(QPalette::Text, color(tint));
    label->setPalette(palette);
}

QLabel* label(const QString& text, TextStyle textStyle, Weight weight, Tint tint, bool monospaced, QWidget* parent) {
    auto* result = new QLabel(parent);
    result->setTextFormat(Qt::PlainText);
    result->setText(text);
    style(result, textStyle, weight, tint, monospaced);
    return result;
}

void styleConsoleLine(QLabel* consoleLabel) {
    QPalette palette = consoleLabel->palette();
    palette.setColor(QPalette::WindowText, consoleTextColor());
    palette.setColor(QPalette::Text, consoleTextColor());
    consoleLabel->setPalette(palette);
}

QLabel* consoleLine(const QString& text, TextStyle textStyle, QWidget* parent) {
    QLabel* result = label(text, textStyle, Weight::regular, Tint::primary, true, parent);
    styleConsoleLine(result);
    return result;
}

QLabel* symbol(const QString& symbolName, TextStyle size, Tint tint, QWidget* parent) {
    auto* result = new QLabel(parent);
    const int edge = symbolSize(size);
    result->setFixedSize(edge, edge);
    result->setAlignment(Qt::AlignCenter);
    result->setProperty("symbolName", symbolName);
    result->setProperty("tint", tintName(tint));
    const QIcon tinted = tintedIcon(symbolName, color(tint));
    if (!tinted.isNull()) {
        // Device pixels for the screen's ratio, drawn at the symbol's edge in points.
        const qreal ratio = parent ? parent->devicePixelRatioF() : qApp->devicePixelRatio();
        result->setPixmap(tinted.pixmap(QSize(edge, edge), ratio));
    }
    return result;
}

// ---- application look ----

void install() {
    // Platforms without a desktop theme (offscreen) search only the resources; add the system icon folders.
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString icons = dir + QStringLiteral("/icons");
        if (!searchPaths.contains(icons))
            searchPaths.append(icons);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    // Without a desktop theme (offscreen, minimal sessions) Breeze is the theme itself.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1StringView("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));
    // The glyphs' files are parsed on a thread of their own while the window is built; each is looked for there.
    glyphDocuments().prefetch(iconNamesInOrder(),
                              [folders = glyphFolders()](const QString& name) { return glyphFile(folders, name); });

    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(new HalvoStyle(fusion));

    QPalette palette;
    palette.setColor(QPalette::Window, QColor(kWindow));
    palette.setColor(QPalette::WindowText, color(Tint::primary));
    palette.setColor(QPalette::Base, QColor(kCardBackground));
    palette.setColor(QPalette::AlternateBase, QColor(kSidebar));
    palette.setColor(QPalette::Text, color(Tint::primary));
    palette.setColor(QPalette::PlaceholderText, color(Tint::secondary));
    palette.setColor(QPalette::Button, QColor(kCardBackground));
    palette.setColor(QPalette::ButtonText, color(Tint::primary));
    // Selected rows and selected text: a pale fill on which the text keeps its own colour.
    palette.setColor(QPalette::Highlight, selectionBackground());
    palette.setColor(QPalette::HighlightedText, color(Tint::primary));
    palette.setColor(QPalette::ToolTipBase, QColor(kCardBackground));
    palette.setColor(QPalette::ToolTipText, color(Tint::primary));
    QApplication::setPalette(palette);

    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(buildStyleSheet());
}

QString sectionSymbol(NavigationSection section) {
    switch (section) {
    case NavigationSection::domains:
        return QStringLiteral("globe.europe.africa.fill");
    case NavigationSection::vps:
        return QStringLiteral("cloud.fill");
    case NavigationSection::dedicated:
        return QStringLiteral("server.rack");
    case NavigationSection::ipRdns:
        return QStringLiteral("network");
    }
    return {};
}

int iconTileSymbolSize(IconTileKind kind) {
    // The text styles are factors of the body size; the tile's symbol sizes are given against a 13-point body.
    constexpr qreal kDescribedBody = 13.0;
    const qreal described = kind == IconTileKind::ipBlock ? 26.0 : 28.0;
    QFont glyph = font(TextStyle::body, Weight::bold);
    glyph.setPointSizeF(glyph.pointSizeF() * described / kDescribedBody);
    return QFontMetrics(glyph).height();
}

TileGradient iconTileGradient(IconTileKind kind) {
    switch (kind) {
    case IconTileKind::domain:
        return {QColor::fromRgbF(0.0f, 0.36f, 0.90f), QColor::fromRgbF(0.0f, 0.62f, 0.92f)};
    case IconTileKind::vps:
        return {QColor::fromRgbF(0.05f, 0.65f, 0.60f), QColor::fromRgbF(0.05f, 0.42f, 0.85f)};
    case IconTileKind::dedicatedServer:
        return {QColor::fromRgbF(0.45f, 0.18f, 0.85f), QColor::fromRgbF(0.12f, 0.35f, 0.88f)};
    case IconTileKind::ipBlock:
        return {QColor::fromRgbF(0.95f, 0.5f, 0.1f), QColor::fromRgbF(0.82f, 0.28f, 0.08f)};
    }
    return {};
}

} // namespace halvo::theme
