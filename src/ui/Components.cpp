#include "ui/Components.h"

#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoWrappingLabel.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

constexpr int kCardInset = 16;
constexpr int kCardSpacing = 12;
constexpr int kTileInset = 12;
constexpr int kIconTileSide = 58;
constexpr int kGridSpacing = 12;
constexpr int kGridMinimumColumnWidth = 10;
// The narrowest a tile gets before the grid uses fewer columns.
constexpr int kGridNarrowestTile = 150;
// An input field keeps room for a host name or a path.
constexpr int kFieldMinimumWidth = 160;
constexpr qreal kIconTileRadius = 14;
constexpr int kBadgeDot = 7;

QLabel* dot(Tint tint, QWidget* parent) {
    auto* result = new QLabel(parent);
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(kBadgeDot, kBadgeDot) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(halvo::theme::color(tint));
    painter.drawEllipse(QRectF(0, 0, kBadgeDot, kBadgeDot));
    painter.end();
    result->setPixmap(pixmap);
    result->setFixedSize(kBadgeDot, kBadgeDot);
    result->setProperty("tint", halvo::theme::tintName(tint));
    return result;
}

} // namespace

// ---- HalvoSectionCard ----

HalvoSectionCard::HalvoSectionCard(const QString& title, const std::optional<QString>& subtitle, const QString& icon,
                                   Tint tint, QWidget* parent)
    : QFrame(parent) {
    // As tall as its wrapped texts need at the width it gets.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kCardInset, kCardInset, kCardInset, kCardInset);
    outer->setSpacing(kCardSpacing);

    auto* headerRow = new QHBoxLayout;
    headerRow->setSpacing(8);
    headerRow->addWidget(halvo::theme::symbol(icon, TextStyle::headline, tint, this), 0, Qt::AlignTop);
    m_titles = new QVBoxLayout;
    m_titles->setSpacing(2);
    m_title = new HalvoWrappingLabel(title, this);
    halvo::theme::style(m_title, TextStyle::headline, Weight::semibold, Tint::primary);
    m_titles->addWidget(m_title);
    if (subtitle)
        setSubtitle(*subtitle);
    headerRow->addLayout(m_titles, 1);
    outer->addLayout(headerRow);

    m_content = new QVBoxLayout;
    m_content->setSpacing(kCardSpacing);
    outer->addLayout(m_content);
}

QVBoxLayout* HalvoSectionCard::contentLayout() const {
    return m_content;
}

void HalvoSectionCard::setTitle(const QString& title) {
    if (m_title->text() != title)
        m_title->setText(title);
}

void HalvoSectionCard::setSubtitle(const QString& subtitle) {
    if (!m_subtitle) {
        m_subtitle = new HalvoWrappingLabel(subtitle, this);
        halvo::theme::style(m_subtitle, TextStyle::caption, Weight::regular, Tint::secondary);
        m_titles->addWidget(m_subtitle);
    } else if (m_subtitle->text() != subtitle) {
        m_subtitle->setText(subtitle);
    }
}

QVBoxLayout* HalvoSectionCard::addColumn(int spacing) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    addContent(column);
    return layout;
}

void HalvoSectionCard::addContent(QWidget* widget) {
    m_content->addWidget(widget);
}

void HalvoSectionCard::addContent(QLayout* layout) {
    m_content->addLayout(layout);
}

// ---- HalvoSpecTile ----

HalvoSpecTile::HalvoSpecTile(Spec spec, QWidget* parent)
    : QFrame(parent)
    , m_spec(std::move(spec)) {
    // As tall as its wrapped texts need at the width it gets.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kTileInset, kTileInset, kTileInset, kTileInset);
    outer->setSpacing(6);

    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(halvo::theme::symbol(m_spec.icon, TextStyle::subheadline, m_spec.tint, this));
    auto* labelText =
        HalvoElidedLabel::make(m_spec.label, TextStyle::caption, Weight::medium, Tint::secondary, false, this);
    top->addWidget(labelText, 1);
    if (m_spec.copyValue) {
        m_copyButton = new QPushButton(QStringLiteral("Kopieren"), this);
        m_copyButton->setObjectName(QStringLiteral("halvoCopyChip"));
        m_copyButton->setFont(halvo::theme::font(TextStyle::caption2, Weight::semibold));
        m_copyButton->setCursor(Qt::PointingHandCursor);
        m_copyButton->setFocusPolicy(Qt::TabFocus);
        connect(m_copyButton, &QPushButton::clicked, this, [this] {
            // Copies of the values: onCopy may write the status line, which rebuilds the view around us.
            const QString text = *m_spec.copyValue;
            const auto onCopy = m_spec.onCopy;
            halvo::ui::copyToClipboard(text);
            if (onCopy)
                onCopy(text);
        });
        top->addWidget(m_copyButton);
    }
    outer->addLayout(top);

    // The value on one line (a host name, an address): "…" and the whole value in the tooltip when long.
    auto* value = new HalvoElidedLabel(m_spec.value, this);
    halvo::theme::style(value, TextStyle::headline, Weight::semibold, Tint::primary);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outer->addWidget(value);
    if (m_spec.subvalue) {
        auto* sub = new HalvoWrappingLabel(*m_spec.subvalue, this);
        halvo::theme::style(sub, TextStyle::caption2, Weight::regular, Tint::secondary);
        outer->addWidget(sub);
    }
}

// ---- HalvoSpecGrid ----

HalvoSpecGrid::HalvoSpecGrid(const QString& name, const QList<HalvoSpecTile::Spec>& tiles, int columns, QWidget* parent)
    : QWidget(parent)
    , m_maxColumns(std::max(1, columns)) {
    setObjectName(name);
    m_grid = new QGridLayout(this);
    m_grid->setObjectName(name);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(kGridSpacing);
    for (const HalvoSpecTile::Spec& spec : tiles)
        m_tiles.append(new HalvoSpecTile(spec, this));
    place(m_maxColumns);
}

int HalvoSpecGrid::columnsFor(int width) const {
    int columns = m_maxColumns;
    while (columns > 1 && columns * kGridNarrowestTile + (columns - 1) * kGridSpacing > width)
        --columns;
    return columns;
}

void HalvoSpecGrid::place(int columns) {
    if (columns == m_columns)
        return;
    for (HalvoSpecTile* tile : std::as_const(m_tiles))
        m_grid->removeWidget(tile);
    for (int column = 0; column < std::max(columns, m_columns); ++column) {
        const bool used = column < columns;
        m_grid->setColumnStretch(column, used ? 1 : 0);
        m_grid->setColumnMinimumWidth(column, used ? kGridMinimumColumnWidth : 0);
    }
    m_columns = columns;
    for (qsizetype i = 0; i < m_tiles.size(); ++i)
        m_grid->addWidget(m_tiles.at(i), int(i / columns), int(i % columns), Qt::AlignTop);
    // Another number of rows: the layouts above ask for the new height (their cached one is stale).
    updateGeometry();
}

void HalvoSpecGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Fewer columns when the tiles would get narrower than a value needs; back to all of them when wide.
    place(columnsFor(event->size().width()));
}

// ---- HalvoIconTile ----

HalvoIconTile::HalvoIconTile(const QString& symbolName, halvo::theme::IconTileKind kind, QWidget* parent)
    : QWidget(parent)
    , m_symbol(symbolName)
    , m_kind(kind) {
    setObjectName(QStringLiteral("halvoIconTile"));
    setProperty("symbolName", symbolName);
    setFixedSize(kIconTileSide, kIconTileSide);
    // Asked once here, so an unknown symbol is reported when the tile is built, not only when painted. The
    // tinted glyph is found by its file name; the theme's icon lookup would read the whole theme's index.
    halvo::theme::tintedIcon(symbolName, halvo::theme::buttonTextColor(HalvoButtonVariant::primary));
}

void HalvoIconTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const halvo::theme::TileGradient colours = halvo::theme::iconTileGradient(m_kind);
    QLinearGradient gradient(QRectF(rect()).topLeft(), QRectF(rect()).bottomRight());
    gradient.setColorAt(0.0, colours.from);
    gradient.setColorAt(1.0, colours.to);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kIconTileRadius, kIconTileRadius);
    painter.fillPath(shape, gradient);

    const int side = halvo::theme::iconTileSymbolSize(m_kind);
    const QIcon mark = halvo::theme::tintedIcon(m_symbol, halvo::theme::buttonTextColor(HalvoButtonVariant::primary));
    mark.paint(&painter, QRect((width() - side) / 2, (height() - side) / 2, side, side));
}

// ---- HalvoStatusBadge ----

HalvoStatusBadge::HalvoStatusBadge(const QString& text, Tint tint, const std::optional<QString>& icon, QWidget* parent)
    : QFrame(parent)
    , m_text(text)
    , m_tint(tint) {
    setProperty("tint", halvo::theme::tintName(tint));
    // As wide as its text, narrower (the text elided) when its row is short.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(4);
    if (icon && !icon->isEmpty())
        row->addWidget(halvo::theme::symbol(*icon, TextStyle::caption2, tint, this));
    else
        row->addWidget(dot(tint, this), 0, Qt::AlignVCenter);
    auto* label = new HalvoElidedLabel(text, this);
    halvo::theme::style(label, TextStyle::caption2, Weight::bold, tint);
    row->addWidget(label, 1);
}

// ---- HalvoFormTextField ----

HalvoFormTextField::HalvoFormTextField(const QString& placeholder, QString* binding, bool isSecure, QWidget* parent)
    : QWidget(parent)
    , m_binding(binding) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(placeholder);
    m_edit->setFont(halvo::theme::font(TextStyle::body));
    // Room for a host name or an address (unless a view gives the field a width of its own), and the spare
    // width of its row.
    m_edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumWidth(kFieldMinimumWidth);
    if (m_binding)
        m_edit->setText(*m_binding);
    // textChanged, not textEdited: a test or an input method that sets the text is an edit as well.
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_reloading)
            return;
        if (m_binding)
            *m_binding = text;
        Q_EMIT edited(text);
    });
    row->addWidget(m_edit, 1);

    if (isSecure) {
        m_edit->setEchoMode(QLineEdit::Password);
        auto* reveal = new QPushButton(this);
        reveal->setObjectName(QStringLiteral("halvoRevealSwitch"));
        reveal->setCheckable(true);
        reveal->setCursor(Qt::PointingHandCursor);
        reveal->setToolTip(QStringLiteral("Anzeigen"));
        reveal->setAccessibleName(QStringLiteral("Anzeigen"));
        reveal->setIcon(halvo::theme::tintedIcon(QStringLiteral("eye"), halvo::theme::color(Tint::secondary)));
        connect(reveal, &QPushButton::toggled, this, [this, reveal](bool shown) {
            m_edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
            const QString symbolName = shown ? QStringLiteral("eye.slash") : QStringLiteral("eye");
            reveal->setIcon(halvo::theme::tintedIcon(symbolName, halvo::theme::color(Tint::secondary)));
            reveal->setToolTip(shown ? QStringLiteral("Verbergen") : QStringLiteral("Anzeigen"));
            reveal->setAccessibleName(reveal->toolTip());
        });
        row->addWidget(reveal);
    }
}

void HalvoFormTextField::reload() {
    if (!m_binding || m_edit->text() == *m_binding)
        return;
    m_reloading = true;
    m_edit->setText(*m_binding);
    m_reloading = false;
}

// ---- HalvoActionButton ----

HalvoActionButton::HalvoActionButton(const QString& text, HalvoButtonVariant variant, bool isSmall, const QString& icon,
                                     QWidget* parent)
    : QPushButton(text, parent)
    , m_variant(variant)
    , m_small(isSmall)
    , m_icon(icon) {
    // The "&" of a title is text, not a keyboard mnemonic.
    setShortcut(QKeySequence());
    // Return never presses an action button by itself, also in a dialog: a form's field presses its own
    // button (halvo::ui::submitOnReturn), and Space presses the focused one.
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setFont(halvo::theme::font(isSmall ? TextStyle::caption : TextStyle::callout, Weight::semibold));
    setProperty("small", isSmall);
    const int edge = halvo::theme::symbolSize(isSmall ? TextStyle::caption : TextStyle::callout);
    setIconSize(QSize(edge, edge));
    // As wide as its title; narrower, with the title elided, only where nothing else gives way.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    applyStyle();
}

void HalvoActionButton::setVariant(HalvoButtonVariant variant) {
    if (variant == m_variant)
        return;
    m_variant = variant;
    applyStyle();
}

void HalvoActionButton::applyStyle() {
    setProperty("variant", halvo::theme::variantName(m_variant));
    if (!m_icon.isEmpty())
        setIcon(halvo::theme::tintedIcon(m_icon, halvo::theme::buttonTextColor(m_variant)));
    // Property selectors of the style sheet are read when the widget is polished: a button already polished
    // is polished again for its new variant, one not yet polished reads it when it is first polished.
    if (testAttribute(Qt::WA_WState_Polished)) {
        style()->unpolish(this);
        style()->polish(this);
    }
    update();
}

QSize HalvoActionButton::sizeHint() const {
    // The base measures the text without its "&"s, as mnemonics; we draw each of them.
    QSize size = QPushButton::sizeHint();
    const qsizetype ampersands = text().count(QLatin1Char('&'));
    if (ampersands > 0)
        size.rwidth() += int(ampersands) * fontMetrics().horizontalAdvance(QLatin1Char('&'));
    return size;
}

QSize HalvoActionButton::minimumSizeHint() const {
    // Room for the symbol and a few characters of the title with its "…".
    const QSize full = sizeHint();
    const int textWidth = fontMetrics().horizontalAdvance(text());
    const int few = fontMetrics().horizontalAdvance(QStringLiteral("…")) + 4 * fontMetrics().averageCharWidth();
    return {std::min(full.width(), full.width() - textWidth + few), full.height()};
}

QString HalvoActionButton::shownText() const {
    const int natural = fontMetrics().horizontalAdvance(text());
    const int room = width() - (sizeHint().width() - natural);
    if (room >= natural)
        return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(room, 0));
}

bool HalvoActionButton::isElided() const {
    return shownText() != text();
}

void HalvoActionButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    // The whole title in the tooltip while it is elided.
    if (isElided())
        setToolTip(text());
    else if (toolTip() == text())
        setToolTip(QString());
}

void HalvoActionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    option.text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    painter.drawControl(QStyle::CE_PushButton, option);
}

// ---- helpers ----

namespace halvo::ui {

void copyToClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QFrame* listRow(int horizontalInset, int verticalInset, QWidget* parent) {
    auto* row = new QFrame(parent);
    row->setObjectName(QStringLiteral("halvoListRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(horizontalInset, verticalInset, horizontalInset, verticalInset);
    layout->setSpacing(8);
    return row;
}

QLabel* columnHeader(const QString& text, int width, Qt::Alignment alignment) {
    QLabel* label = halvo::theme::label(text, TextStyle::caption, Weight::bold, Tint::secondary);
    label->setAlignment(alignment | Qt::AlignVCenter);
    if (width > 0)
        label->setFixedWidth(width);
    return label;
}

QFrame* divider(QWidget* parent, bool vertical) {
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("halvoDivider"));
    line->setFrameShape(QFrame::NoFrame);
    if (vertical) {
        line->setProperty("vertical", true); // drawn opaque, in the colour it shows on the window
        line->setFixedWidth(1);
        line->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    } else {
        line->setFixedHeight(1);
        line->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    return line;
}

void clearLayout(QLayout* layout) {
    if (!layout)
        return;
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            // Deferred: the widget may be the sender of the signal being handled right now.
            widget->hide();
            widget->deleteLater();
        } else if (QLayout* child = item->layout()) {
            clearLayout(child);
        }
        delete item;
    }
}

} // namespace halvo::ui
