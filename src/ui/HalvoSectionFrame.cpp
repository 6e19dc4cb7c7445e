#include "ui/HalvoSectionFrame.h"

#include "ui/FocusOrder.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoFlowLayout.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <functional>
#include <utility>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

constexpr int kSidebarHeaderInset = 14;
constexpr int kEmptyStateInset = 20;
constexpr int kEmptyStateSpacing = 10;
constexpr int kHeaderBandInset = 18;
constexpr int kHeaderBandSpacing = 16;
constexpr int kTabBarHorizontalInset = 18;
constexpr int kTabBarVerticalInset = 10;
constexpr int kTabBarSpacing = 8;
constexpr int kContentInset = 22;
constexpr int kContentSpacing = 18;
// The narrowest the detail column gets before the sidebar gives up width: the detail yields first, and the
// splitter never needs more room than the window has.
constexpr int kDetailMinimumWidth = 360;

/// Removes a widget from its layout, hides it and deletes it on a later turn of the event loop.
void retire(QWidget* widget) {
    if (!widget)
        return;
    if (QWidget* parent = widget->parentWidget(); parent && parent->layout())
        parent->layout()->removeWidget(widget);
    widget->hide();
    widget->deleteLater();
}

/// A centred text that wraps, as the empty state and the placeholder show it. Their pages are measured in every
/// layout pass of the stack, shown or not, and measuring shapes the text anew: the sizes are kept (the heights
/// per width) until the text, the font or the margins change.
class WrappedText final : public QLabel {
public:
    WrappedText(const QString& text, TextStyle style, Weight weight, Tint tint, QWidget* parent)
        : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setText(text);
        halvo::theme::style(this, style, weight, tint);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
    }

    QSize sizeHint() const override {
        checkMeasured();
        if (!m_sizeHint.isValid())
            m_sizeHint = QLabel::sizeHint();
        return m_sizeHint;
    }

    QSize minimumSizeHint() const override {
        checkMeasured();
        if (!m_minimumSizeHint.isValid())
            m_minimumSizeHint = QLabel::minimumSizeHint();
        return m_minimumSizeHint;
    }

    int heightForWidth(int width) const override {
        checkMeasured();
        if (const auto known = m_heights.constFind(width); known != m_heights.constEnd())
            return known.value();
        const int height = QLabel::heightForWidth(width);
        if (m_heights.size() >= kKeptWidths)
            m_heights.clear();
        m_heights.insert(width, height);
        return height;
    }

private:
    /// Forgets the measures when what they depend on changed (polishing may set another font).
    void checkMeasured() const {
        ensurePolished();
        if (text() == m_measuredText && font() == m_measuredFont && contentsMargins() == m_measuredMargins)
            return;
        m_measuredText = text();
        m_measuredFont = font();
        m_measuredMargins = contentsMargins();
        m_heights.clear();
        m_sizeHint = QSize();
        m_minimumSizeHint = QSize();
    }

    static constexpr qsizetype kKeptWidths = 16;
    mutable QSize m_sizeHint;
    mutable QSize m_minimumSizeHint;
    mutable QString m_measuredText;
    mutable QFont m_measuredFont;
    mutable QMargins m_measuredMargins;
    mutable QHash<int, int> m_heights;
};

/// A page whose content is made the first time it is shown. Until then it has no layout and no children, so
/// measuring it costs nothing.
class DeferredPage final : public QWidget {
public:
    DeferredPage(std::function<void(QWidget*)> build, QWidget* parent)
        : QWidget(parent)
        , m_build(std::move(build)) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Show && m_build) {
            const auto build = std::exchange(m_build, {});
            build(this);
            // The page is visible already: what it made shows only when told, and is laid out now, before the
            // frame is painted.
            for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                    child->show();
            }
            if (layout())
                layout()->activate();
        }
        return QWidget::event(event);
    }

private:
    std::function<void(QWidget*)> m_build;
};

} // namespace

struct HalvoSectionFrame::Private {
    Config config;

    QLabel* sidebarTitle = nullptr;
    QStackedWidget* sidebarStack = nullptr;
    QListView* list = nullptr;
    QWidget* emptyState = nullptr;
    QPointer<QItemSelectionModel> selectionModel;
    bool settingSelection = false;

    QStackedWidget* detailStack = nullptr;
    QWidget* placeholder = nullptr;
    QWidget* detail = nullptr;
    QHBoxLayout* headerLayout = nullptr;
    QPointer<QWidget> header;
    QWidget* tabRow = nullptr;
    HalvoFlowLayout* tabLayout = nullptr;
    QWidget* tabBar = nullptr;
    QWidget* tabDivider = nullptr;
    QList<TabSpec> tabs;
    QList<HalvoActionButton*> tabButtons;
    QScrollArea* contentScroll = nullptr;
    QVBoxLayout* contentLayout = nullptr;
    QPointer<QWidget> content;
};

HalvoSectionFrame::HalvoSectionFrame(Config config, QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Private>()) {
    d->config = std::move(config);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("halvoSectionSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(1);
    outer->addWidget(splitter);

    // ---- sidebar ----
    auto* sidebar = new QWidget(splitter);
    sidebar->setObjectName(QStringLiteral("halvoSidebar"));
    sidebar->setAttribute(Qt::WA_StyledBackground);
    sidebar->setMinimumWidth(d->config.sidebarMinWidth);
    sidebar->setMaximumWidth(d->config.sidebarMaxWidth);
    // Both columns join the splitter while they are empty: the splitter measures its columns each time one
    // joins, and a full sidebar would have its texts laid out for nothing.
    d->detailStack = new QStackedWidget(splitter);
    d->detailStack->setObjectName(QStringLiteral("halvoDetail"));
    auto* sidebarColumn = new QVBoxLayout(sidebar);
    sidebarColumn->setContentsMargins(0, 0, 0, 0);
    sidebarColumn->setSpacing(0);

    auto* headerRow = new QHBoxLayout;
    headerRow->setContentsMargins(kSidebarHeaderInset, kSidebarHeaderInset, kSidebarHeaderInset, kSidebarHeaderInset);
    headerRow->setSpacing(8);
    headerRow->addWidget(
        halvo::theme::symbol(d->config.sidebarIcon, TextStyle::headline, d->config.sidebarTint, sidebar));
    d->sidebarTitle = new HalvoElidedLabel(QString(), sidebar);
    halvo::theme::style(d->sidebarTitle, TextStyle::headline, Weight::semibold, Tint::primary);
    d->sidebarTitle->setObjectName(QStringLiteral("halvoSidebarTitle"));
    headerRow->addWidget(d->sidebarTitle, 1);
    sidebarColumn->addLayout(headerRow);
    sidebarColumn->addWidget(halvo::ui::divider(sidebar));

    d->sidebarStack = new QStackedWidget(sidebar);
    d->list = new QListView(d->sidebarStack);
    d->list->setObjectName(QStringLiteral("halvoSidebarList"));
    d->list->setSelectionMode(QAbstractItemView::SingleSelection);
    d->list->setSelectionBehavior(QAbstractItemView::SelectRows);
    d->list->setFrameShape(QFrame::NoFrame);
    d->list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row of a sidebar has one height: a list of twenty thousand records lays out what one row costs.
    d->list->setUniformItemSizes(true);
    d->list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One Tab stop: the arrows move inside the list, Tab leaves it.
    d->list->setTabKeyNavigation(false);
    d->sidebarStack->addWidget(d->list);

    // The empty state and the placeholder are made when first shown: a stack measures each of its pages in every
    // layout pass, shown or not, and a view that has something to show never needs them.
    d->emptyState = new DeferredPage(
        [config = &d->config](QWidget* page) {
            auto* column = new QVBoxLayout(page);
            column->setContentsMargins(kEmptyStateInset, kEmptyStateInset, kEmptyStateInset, kEmptyStateInset);
            column->setSpacing(kEmptyStateSpacing);
            column->addStretch(1);
            column->addWidget(halvo::theme::symbol(config->emptyIcon, TextStyle::largeTitle, Tint::secondary, page), 0,
                              Qt::AlignHCenter);
            column->addWidget(
                new WrappedText(config->emptyTitle, TextStyle::subheadline, Weight::bold, Tint::primary, page));
            column->addWidget(
                new WrappedText(config->emptyText, TextStyle::caption, Weight::regular, Tint::secondary, page));
            column->addStretch(1);
        },
        d->sidebarStack);
    d->emptyState->setObjectName(QStringLiteral("halvoEmptyState"));
    d->sidebarStack->addWidget(d->emptyState);
    sidebarColumn->addWidget(d->sidebarStack, 1);

    // ---- detail ----
    d->placeholder = new DeferredPage(
        [config = &d->config](QWidget* page) {
            auto* column = new QVBoxLayout(page);
            column->setContentsMargins(40, 40, 40, 40);
            column->setSpacing(kEmptyStateSpacing);
            column->addStretch(1);
            column->addWidget(
                halvo::theme::symbol(config->placeholderIcon, TextStyle::largeTitle, Tint::secondary, page), 0,
                Qt::AlignHCenter);
            column->addWidget(
                new WrappedText(config->placeholderTitle, TextStyle::title2, Weight::bold, Tint::primary, page));
            column->addWidget(new WrappedText(config->placeholderDescription, TextStyle::body, Weight::regular,
                                              Tint::secondary, page));
            column->addStretch(1);
        },
        d->detailStack);
    d->placeholder->setObjectName(QStringLiteral("halvoPlaceholder"));
    d->detailStack->addWidget(d->placeholder);

    d->detail = new QWidget(d->detailStack);
    auto* detailColumn = new QVBoxLayout(d->detail);
    detailColumn->setContentsMargins(0, 0, 0, 0);
    detailColumn->setSpacing(0);

    auto* band = new QWidget(d->detail);
    band->setObjectName(QStringLiteral("halvoHeaderBand"));
    band->setAttribute(Qt::WA_StyledBackground);
    d->headerLayout = new QHBoxLayout(band);
    d->headerLayout->setContentsMargins(kHeaderBandInset, kHeaderBandInset, kHeaderBandInset, kHeaderBandInset);
    d->headerLayout->setSpacing(kHeaderBandSpacing);
    // No alignment of its own: the header gets the whole band, whose height follows the header's height for
    // its width (a header whose items wrap onto further lines makes the band taller).
    detailColumn->addWidget(band);
    detailColumn->addWidget(halvo::ui::divider(d->detail));

    auto* tabBar = new QWidget(d->detail);
    tabBar->setObjectName(QStringLiteral("halvoTabBar"));
    tabBar->setAttribute(Qt::WA_StyledBackground);
    auto* tabBarLayout = new QVBoxLayout(tabBar);
    tabBarLayout->setContentsMargins(0, 0, 0, 0);
    // Every tab stays visible: tabs that do not fit on one line continue on the next.
    d->tabRow = new QWidget(tabBar);
    d->tabRow->setObjectName(QStringLiteral("halvoTabRow"));
    d->tabLayout = new HalvoFlowLayout(d->tabRow, kTabBarSpacing, kTabBarSpacing);
    d->tabLayout->setContentsMargins(kTabBarHorizontalInset, kTabBarVerticalInset, kTabBarHorizontalInset,
                                     kTabBarVerticalInset);
    tabBarLayout->addWidget(d->tabRow);
    detailColumn->addWidget(tabBar);
    d->tabBar = tabBar;
    d->tabDivider = halvo::ui::divider(d->detail);
    detailColumn->addWidget(d->tabDivider);
    // A detail without tabs (the VPS view) shows no empty bar.
    tabBar->hide();
    d->tabDivider->hide();

    d->contentScroll = new QScrollArea(d->detail);
    d->contentScroll->setObjectName(QStringLiteral("halvoContentScroll"));
    d->contentScroll->setFrameShape(QFrame::NoFrame);
    d->contentScroll->setWidgetResizable(true);
    // Vertical only: the content takes the viewport's width, and what is too wide for it wraps, elides or
    // stacks instead of scrolling sideways.
    d->contentScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->contentScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // No Tab stop of its own: it would take the focus without showing it.
    d->contentScroll->setFocusPolicy(Qt::NoFocus);
    auto* contentHost = new QWidget;
    contentHost->setObjectName(QStringLiteral("halvoContent"));
    d->contentLayout = new QVBoxLayout(contentHost);
    d->contentLayout->setContentsMargins(kContentInset, kContentInset, kContentInset, kContentInset);
    d->contentLayout->setSpacing(kContentSpacing);
    d->contentLayout->addStretch(1);
    d->contentScroll->setWidget(contentHost);
    detailColumn->addWidget(d->contentScroll, 1);
    d->detailStack->addWidget(d->detail);
    d->detailStack->setMinimumWidth(kDetailMinimumWidth);

    splitter->addWidget(sidebar);
    splitter->addWidget(d->detailStack);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({d->config.sidebarMinWidth, 10000});

    d->sidebarStack->setCurrentWidget(d->emptyState);
    d->detailStack->setCurrentWidget(d->placeholder);
}

HalvoSectionFrame::~HalvoSectionFrame() = default;

// ---- sidebar ----

void HalvoSectionFrame::setSidebarTitle(const QString& text) {
    if (d->sidebarTitle->text() != text)
        d->sidebarTitle->setText(text);
}

QLabel* HalvoSectionFrame::sidebarTitleLabel() const {
    return d->sidebarTitle;
}

QListView* HalvoSectionFrame::listView() const {
    return d->list;
}

void HalvoSectionFrame::setListModel(QAbstractItemModel* model, QAbstractItemDelegate* delegate) {
    QItemSelectionModel* previous = d->list->selectionModel();
    d->list->setModel(model);
    if (delegate)
        d->list->setItemDelegate(delegate);
    // The list does not delete the selection model it made for the previous model.
    if (previous && previous != d->list->selectionModel())
        previous->deleteLater();
    d->selectionModel = d->list->selectionModel();
    if (!d->selectionModel)
        return;
    // Selection, not the current index: focusing the list moves the current index without selecting, and a
    // model reset clears the selection without any user involved.
    connect(d->selectionModel, &QItemSelectionModel::selectionChanged, this, [this] {
        if (d->settingSelection || !d->selectionModel)
            return;
        const QModelIndexList rows = d->selectionModel->selectedIndexes();
        if (rows.size() == 1)
            Q_EMIT rowSelected(rows.first().row());
    });
}

void HalvoSectionFrame::setListEmpty(bool empty) {
    d->sidebarStack->setCurrentWidget(empty ? d->emptyState : static_cast<QWidget*>(d->list));
}

bool HalvoSectionFrame::isListEmpty() const {
    return d->sidebarStack->currentWidget() == d->emptyState;
}

void HalvoSectionFrame::setCurrentRow(int row) {
    QItemSelectionModel* selection = d->list->selectionModel();
    QAbstractItemModel* model = d->list->model();
    if (!selection || !model)
        return;
    d->settingSelection = true;
    if (row < 0 || row >= model->rowCount()) {
        selection->clearSelection();
        selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const QModelIndex index = model->index(row, 0);
        if (!selection->isSelected(index) || selection->selectedIndexes().size() != 1)
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        d->list->scrollTo(index, QAbstractItemView::EnsureVisible);
    }
    d->settingSelection = false;
}

// ---- detail ----

void HalvoSectionFrame::showPlaceholder() {
    d->detailStack->setCurrentWidget(d->placeholder);
}

void HalvoSectionFrame::showDetail() {
    d->detailStack->setCurrentWidget(d->detail);
}

bool HalvoSectionFrame::isShowingPlaceholder() const {
    return d->detailStack->currentWidget() == d->placeholder;
}

void HalvoSectionFrame::replaceHeader(QWidget* header) {
    if (header == d->header)
        return;
    retire(d->header);
    d->header = header;
    if (header) {
        d->headerLayout->addWidget(header, 1);
        // Shown at once (not on the next turn), so that it counts in the layout and can be clicked.
        header->show();
    }
}

QWidget* HalvoSectionFrame::headerParent() const {
    return d->headerLayout->parentWidget();
}

void HalvoSectionFrame::setTabs(const QList<TabSpec>& tabs, int shownIndex) {
    if (tabs != d->tabs) {
        for (HalvoActionButton* button : std::as_const(d->tabButtons))
            retire(button);
        d->tabButtons.clear();
        d->tabs = tabs;
        for (int i = 0; i < tabs.size(); ++i) {
            auto* button =
                new HalvoActionButton(tabs[i].title, HalvoButtonVariant::secondary, true, tabs[i].icon, d->tabRow);
            d->tabLayout->insertWidget(i, button);
            button->show();
            connect(button, &QPushButton::clicked, this, [this, i] { Q_EMIT tabClicked(i); });
            d->tabButtons.append(button);
        }
        d->tabBar->setVisible(!tabs.isEmpty());
        d->tabDivider->setVisible(!tabs.isEmpty());
    }
    for (int i = 0; i < d->tabButtons.size(); ++i)
        d->tabButtons[i]->setVariant(i == shownIndex ? HalvoButtonVariant::primary : HalvoButtonVariant::secondary);
}

QList<HalvoActionButton*> HalvoSectionFrame::tabButtons() const {
    return d->tabButtons;
}

void HalvoSectionFrame::replaceContent(QWidget* content, bool keepScrollPosition) {
    QScrollBar* bar = d->contentScroll->verticalScrollBar();
    const int position = bar->value();
    if (content != d->content) {
        retire(d->content);
        d->content = content;
        if (content) {
            d->contentLayout->insertWidget(0, content);
            content->show();
            // Every list or table of the content is one Tab stop: Tab leaves it, the arrows move inside it.
            for (QAbstractItemView* view : content->findChildren<QAbstractItemView*>())
                view->setTabKeyNavigation(false);
        }
    }
    if (!keepScrollPosition) {
        bar->setValue(0);
        return;
    }
    // Lay the new content out now (the scroll area sizes it as it would on its own layout request), so the
    // range already fits it when the position is put back.
    d->contentLayout->activate();
    QEvent layoutRequest(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(d->contentScroll, &layoutRequest);
    bar->setValue(std::min(position, bar->maximum()));
}

QWidget* HalvoSectionFrame::contentParent() const {
    return d->contentScroll->widget();
}

void HalvoSectionFrame::revealInContent(QWidget* descendant, const QRect& rect) {
    QWidget* host = d->contentScroll->widget();
    if (!descendant || !host || !host->isAncestorOf(descendant))
        return;
    // Lay out the changes first (a grown table, a new card), so the position is the one the user will see.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    d->contentLayout->activate();
    QEvent layoutRequest(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(d->contentScroll, &layoutRequest);
    const QRect local = rect.isEmpty() ? descendant->rect() : rect;
    const QRect target(descendant->mapTo(host, local.topLeft()), local.size());
    QScrollBar* bar = d->contentScroll->verticalScrollBar();
    const int visible = d->contentScroll->viewport()->height();
    if (target.top() < bar->value())
        bar->setValue(target.top());
    else if (target.bottom() >= bar->value() + visible)
        bar->setValue(std::min(target.top(), target.bottom() + 1 - visible));
}

QWidget* HalvoSectionFrame::content() const {
    return d->content;
}

QWidget* HalvoSectionFrame::header() const {
    return d->header;
}

QScrollArea* HalvoSectionFrame::contentScrollArea() const {
    return d->contentScroll;
}

QList<QWidget*> HalvoSectionFrame::focusOrder() const {
    QList<QWidget*> order;
    if (!isListEmpty() && halvo::ui::takesTabFocus(d->list))
        order.append(d->list);
    if (isShowingPlaceholder())
        return order;
    if (d->header)
        order += halvo::ui::tabStops(d->header);
    for (HalvoActionButton* button : d->tabButtons) {
        if (halvo::ui::takesTabFocus(button))
            order.append(button);
    }
    order += halvo::ui::tabStops(d->contentScroll->widget());
    return order;
}
