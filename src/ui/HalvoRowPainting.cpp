#include "ui/HalvoRowPainting.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextBoundaryFinder>

#include <algorithm>

void HalvoRowDelegate::paintPanel(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem panel = option;
    initStyleOption(&panel, index);
    panel.text.clear();
    panel.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, widget);
}

namespace halvo::ui {

namespace {

constexpr int kDotSize = 6;
constexpr int kDotSpacing = 5;

struct TintedKey {
    QString symbol;
    int size;
    QRgb color;
    qreal ratio;
    bool operator==(const TintedKey&) const = default;
};

size_t qHash(const TintedKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.symbol, key.size, key.color, key.ratio);
}

// Painting runs for every visible row on every repaint, so each recoloured icon is rendered once per size
// and colour and kept.
QPixmap tintedPixmap(const QString& symbolName, int size, const QColor& color, qreal ratio) {
    static QHash<TintedKey, QPixmap> cache;
    static const bool cleanupRegistered = [] {
        // Pixmaps must not outlive the application object.
        qAddPostRoutine([] { cache.clear(); });
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    const TintedKey key{symbolName, size, color.rgba(), ratio};
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return found.value();
    const QPixmap result = theme::tintedIcon(symbolName, color).pixmap(QSize(size, size), ratio);
    cache.insert(key, result);
    return result;
}

} // namespace

void paintFocusRing(QPainter* painter, const QRectF& rect, qreal radius) {
    const qreal width = theme::focusRingWidth();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(theme::focusRingColor(), width));
    const qreal inset = width / 2;
    painter->drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius, radius);
    painter->restore();
}

void paintDot(QPainter* painter, const QRectF& rect, theme::Tint tint) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(theme::color(tint));
    painter->drawEllipse(rect);
    painter->restore();
}

namespace {

/// Whether every character of the text is laid out left to right at one level, as in any start of it.
bool isPlainLeftToRight(const QString& text) {
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirPDF:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return false;
        default:
            break;
        }
    }
    return true;
}

} // namespace

QString elidedRight(const QFontMetrics& metrics, const QString& text, int width) {
    // Characters kept past the point where the start is wider than the room: shaping at a cut changes the glyphs
    // next to it only, and these never show.
    constexpr int kSpareCharacters = 8;
    const qsizetype guess = qsizetype(std::max(width, 0) / std::max(1, metrics.averageCharWidth())) + 1;
    if (width <= 0 || text.size() <= 2 * guess + kSpareCharacters || !isPlainLeftToRight(text))
        return metrics.elidedText(text, Qt::ElideRight, width);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    const auto boundaryFrom = [&graphemes](qsizetype position) {
        graphemes.setPosition(position);
        return graphemes.isAtBoundary() ? position : graphemes.toNextBoundary();
    };
    for (qsizetype length = 2 * guess; length < text.size(); length *= 2) {
        const qsizetype start = boundaryFrom(length);
        if (start < 0 || start >= text.size())
            break;
        if (metrics.horizontalAdvance(text.left(start)) <= width)
            continue;
        qsizetype end = start;
        for (int i = 0; i < kSpareCharacters && end >= 0 && end < text.size(); ++i)
            end = graphemes.toNextBoundary();
        if (end < 0 || end >= text.size())
            break;
        return metrics.elidedText(text.left(end), Qt::ElideRight, width);
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

void paintElidedText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, const QColor& color,
                     Qt::Alignment alignment) {
    if (rect.width() <= 0)
        return;
    painter->setFont(font);
    painter->setPen(color);
    const QString shown = elidedRight(QFontMetrics(font), text, rect.width());
    painter->drawText(rect, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

void paintElidedText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
                     Qt::Alignment alignment) {
    paintElidedText(painter, rect, text, font, theme::color(tint), alignment);
}

void paintText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
               Qt::Alignment alignment) {
    painter->setFont(font);
    painter->setPen(theme::color(tint));
    painter->drawText(rect, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine, text);
}

void paintCapsuleIn(QPainter* painter, const QRectF& capsule, const QString& text, const QFont& font, theme::Tint tint,
                    qreal fillOpacity) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(theme::color(tint, fillOpacity));
    const qreal radius = capsule.height() / 2.0;
    painter->drawRoundedRect(capsule, radius, radius);
    painter->setFont(font);
    painter->setPen(theme::color(tint));
    // A text longer than the capsule ends in "…" inside it, never past its rounded ends.
    const int room = std::max(0, int(capsule.width() - capsule.height() / 2.0));
    painter->drawText(capsule, Qt::AlignCenter | Qt::TextSingleLine,
                      QFontMetrics(font).elidedText(text, Qt::ElideRight, room));
    painter->restore();
}

int trailingWidth(int lineWidth, int wantedWidth, int keptLeading) {
    return std::clamp(wantedWidth, 0, std::max(0, lineWidth - keptLeading));
}

void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, theme::Tint tint) {
    paintSymbol(painter, rect, symbolName, theme::color(tint));
}

void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, const QColor& color) {
    const int side = qMin(rect.width(), rect.height());
    if (side <= 0)
        return;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : qApp->devicePixelRatio();
    const QPixmap pixmap = tintedPixmap(symbolName, side, color, ratio);
    if (pixmap.isNull())
        return;
    const QSize logical = (QSizeF(pixmap.size()) / pixmap.devicePixelRatio()).toSize();
    QRect target(QPoint(0, 0), logical);
    target.moveCenter(rect.center());
    painter->drawPixmap(target, pixmap);
}

QSize capsuleSize(const QString& text, const QFont& font, int horizontalPadding, int verticalPadding, bool withDot) {
    const QFontMetrics metrics(font);
    const int dot = withDot ? kDotSize + kDotSpacing : 0;
    return {metrics.horizontalAdvance(text) + dot + 2 * horizontalPadding, metrics.height() + 2 * verticalPadding};
}

QRect paintCapsule(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
                   qreal fillOpacity, int horizontalPadding, int verticalPadding, bool withDot) {
    const QSize size = capsuleSize(text, font, horizontalPadding, verticalPadding, withDot);
    QRect capsule(QPoint(rect.left(), 0), size);
    capsule.moveTop(rect.center().y() - size.height() / 2);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(theme::color(tint, fillOpacity));
    const qreal radius = capsule.height() / 2.0;
    painter->drawRoundedRect(QRectF(capsule), radius, radius);

    QRect textRect = capsule.adjusted(horizontalPadding, 0, -horizontalPadding, 0);
    if (withDot) {
        painter->setBrush(theme::color(tint));
        const QRect dot(textRect.left(), capsule.center().y() - kDotSize / 2, kDotSize, kDotSize);
        painter->drawEllipse(dot);
        textRect.setLeft(dot.right() + 1 + kDotSpacing);
    }
    painter->setFont(font);
    painter->setPen(theme::color(tint));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
    return capsule;
}

} // namespace halvo::ui
