#include "app/MainWindow.h"

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FocusOrder.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoSectionFrame.h"
#include "ui/Theme.h"
#include "views/dedicated/DedicatedServersView.h"
#include "views/domains/DomainsView.h"
#include "views/ip/IPRdnsView.h"
#include "views/vps/VPSView.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

constexpr int kNavigationWidth = 190;
constexpr int kSectionRole = Qt::UserRole + 1;

// Made inside the window it shows in: the style sheet's rules are worked out for each of its widgets once, where
// a view made on its own and moved into the window afterwards has them worked out again for its whole tree.
QWidget* makeSectionView(NavigationSection section, AppStateStore& store, QWidget* parent) {
    switch (section) {
    case NavigationSection::domains:
        return new DomainsView(store, parent);
    case NavigationSection::vps:
        return new VPSView(store, parent);
    case NavigationSection::dedicated:
        return new DedicatedServersView(store, parent);
    case NavigationSection::ipRdns:
        return new IPRdnsView(store, parent);
    }
    return new QWidget(parent);
}

} // namespace

MainWindow::MainWindow(AppStateStore& store, QWidget* parent)
    : QMainWindow(parent)
    , m_store(store) {
    setWindowTitle(kWindowTitle);

    auto* central = new QWidget(this);
    central->setMinimumSize(kMinimumContentWidth, kMinimumContentHeight);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    // ---- sections ----
    auto* navigation = new QWidget(central);
    navigation->setObjectName(QStringLiteral("halvoNavigation"));
    navigation->setAttribute(Qt::WA_StyledBackground);
    navigation->setFixedWidth(kNavigationWidth);
    auto* navigationColumn = new QVBoxLayout(navigation);
    navigationColumn->setContentsMargins(0, 12, 0, 12);
    navigationColumn->setSpacing(6);
    m_sections = new QListWidget(navigation);
    m_sections->setObjectName(QStringLiteral("halvoSectionList"));
    m_sections->setFrameShape(QFrame::NoFrame);
    m_sections->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sections->setFont(halvo::theme::font(TextStyle::body, Weight::medium));
    const int iconEdge = halvo::theme::symbolSize(TextStyle::title3);
    m_sections->setIconSize(QSize(iconEdge, iconEdge));
    for (const NavigationSection section : kAllNavigationSections) {
        auto* item = new QListWidgetItem(
            halvo::theme::tintedIcon(halvo::theme::sectionSymbol(section), halvo::theme::color(Tint::blue)),
            rawValue(section), m_sections);
        item->setData(kSectionRole, static_cast<int>(section));
        item->setSizeHint(QSize(kNavigationWidth - 16, iconEdge + 16));
    }
    navigationColumn->addWidget(m_sections, 1);
    row->addWidget(navigation);
    row->addWidget(halvo::ui::divider(central, true));

    // ---- header bar, section view, status line ----
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* headerBar = new QWidget(central);
    headerBar->setObjectName(QStringLiteral("halvoHeaderBar"));
    headerBar->setAttribute(Qt::WA_StyledBackground);
    auto* headerRow = new QHBoxLayout(headerBar);
    headerRow->setContentsMargins(16, 10, 16, 10);
    headerRow->setSpacing(8);
    headerRow->addStretch(1);
    headerRow->addWidget(
        halvo::theme::symbol(QStringLiteral("magnifyingglass"), TextStyle::body, Tint::secondary, headerBar));
    m_search = new QLineEdit(headerBar);
    m_search->setObjectName(QStringLiteral("halvoSearchField"));
    m_search->setPlaceholderText(QStringLiteral("Suchen"));
    m_search->setClearButtonEnabled(true);
    m_search->setFixedWidth(280);
    m_search->setText(m_store.searchText());
    headerRow->addWidget(m_search);
    column->addWidget(headerBar);
    column->addWidget(halvo::ui::divider(central));

    m_viewHost = new QVBoxLayout;
    m_viewHost->setContentsMargins(0, 0, 0, 0);
    m_viewHost->setSpacing(0);
    column->addLayout(m_viewHost, 1);

    column->addWidget(halvo::ui::divider(central));
    auto* statusBar = new QWidget(central);
    statusBar->setObjectName(QStringLiteral("halvoStatusBar"));
    statusBar->setAttribute(Qt::WA_StyledBackground);
    auto* statusRow = new QHBoxLayout(statusBar);
    statusRow->setContentsMargins(14, 6, 14, 6);
    statusRow->setSpacing(6);
    // A failed request never shows beside the success mark: each kind of sentence has its own mark.
    m_statusDone =
        halvo::theme::symbol(QStringLiteral("checkmark.circle.fill"), TextStyle::caption, Tint::green, statusBar);
    m_statusFailed =
        halvo::theme::symbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::caption, Tint::red, statusBar);
    statusRow->addWidget(m_statusDone);
    statusRow->addWidget(m_statusFailed);
    // One line whatever the sentence's length: a long one ends in "…" and is whole in the tooltip.
    m_status = new HalvoElidedLabel(QString(), statusBar);
    halvo::theme::style(m_status, TextStyle::caption, Weight::medium, Tint::secondary);
    m_status->setObjectName(QStringLiteral("halvoStatusLine"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusRow->addWidget(m_status, 1);
    showStatus();
    column->addWidget(statusBar);
    row->addLayout(column, 1);

    setCentralWidget(central);
    // Roomier than the minimum where the screen allows, so the detail's cards have their four columns. The
    // frame is not known before the window is shown: estimate a title bar now, correct once it is shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        setGeometry(openingGeometry(screen->availableGeometry(), QMargins(0, titleBar, 0, 0)));
    } else {
        resize(kDefaultWidth, kDefaultHeight);
    }

    // ---- wiring ----
    connect(m_sections, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (m_syncingList || !item)
            return;
        m_store.setSelectedSection(static_cast<NavigationSection>(item->data(kSectionRole).toInt()));
    });
    // Every keystroke, exactly as typed: the views search with the untrimmed text.
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) { m_store.setSearchText(text); });
    connect(&m_store, &AppStateStore::searchTextChanged, this, [this] {
        if (m_search->text() != m_store.searchText())
            m_search->setText(m_store.searchText());
    });
    connect(&m_store, &AppStateStore::lastActionMessageChanged, this, &MainWindow::showStatus);
    connect(&m_store, &AppStateStore::selectedSectionChanged, this, &MainWindow::scheduleSectionSwitch);

    // The platform's Find key focuses the search with its text selected; Esc in the field clears it.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    });
    m_search->installEventFilter(this);

    m_presenter = new HalvoConfirmationPresenter(m_store, this);

    m_shownSection = m_store.selectedSection();
    m_view = makeSectionView(m_shownSection, m_store, m_viewHost->parentWidget());
    m_viewHost->addWidget(m_view);
    syncSectionList();
}

MainWindow::~MainWindow() = default;

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_search && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        m_search->clear();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QList<QWidget*> MainWindow::focusOrder() const {
    QList<QWidget*> order;
    for (QWidget* widget : {static_cast<QWidget*>(m_search), static_cast<QWidget*>(m_sections)}) {
        if (halvo::ui::takesTabFocus(widget))
            order.append(widget);
    }
    if (!m_view)
        return order;
    const auto* frame = m_view->findChild<HalvoSectionFrame*>();
    if (frame)
        order += frame->focusOrder();
    // Whatever the view shows beside its frame follows it.
    for (QWidget* widget : halvo::ui::tabStops(m_view)) {
        if (!frame || !frame->isAncestorOf(widget))
            order.append(widget);
    }
    return order;
}

bool MainWindow::focusNextPrevChild(bool next) {
    if (halvo::ui::moveFocusAlong(focusOrder(), focusWidget(), next))
        return true;
    return QMainWindow::focusNextPrevChild(next);
}

QRect MainWindow::openingGeometry(const QRect& available, const QMargins& frame) {
    const QSize minimum(kMinimumContentWidth, kMinimumContentHeight);
    const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize size =
        QSize(kDefaultWidth, kDefaultHeight).boundedTo(available.size() - frameExtra).expandedTo(minimum);
    const QSize outer = size + frameExtra;
    // Centred where it fits; otherwise from the top-left corner, so the title bar stays reachable.
    const int x = available.left() + std::max(0, (available.width() - outer.width()) / 2);
    const int y = available.top() + std::max(0, (available.height() - outer.height()) / 2);
    return {QPoint(x + frame.left(), y + frame.top()), size};
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_placed || event->spontaneous())
        return;
    m_placed = true;
    // Now the frame is known: bring the whole window, frame included, into the screen's available area.
    QTimer::singleShot(0, this, [this] {
        const QScreen* shownOn = screen();
        if (!shownOn || isMaximized() || isFullScreen())
            return;
        const QRect available = shownOn->availableGeometry();
        if (available.contains(frameGeometry()))
            return;
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                             outer.bottom() - inner.bottom());
        setGeometry(openingGeometry(available, frame));
    });
}

void MainWindow::showStatus() {
    const bool failed = m_store.lastActionMessageKind() == AppStateStore::MessageKind::failure;
    m_statusDone->setVisible(!failed);
    m_statusFailed->setVisible(failed);
    halvo::theme::style(m_status, TextStyle::caption, Weight::medium, failed ? Tint::red : Tint::secondary);
    m_status->setText(m_store.lastActionMessage());
}

void MainWindow::scheduleSectionSwitch() {
    syncSectionList();
    if (m_switchPending)
        return;
    m_switchPending = true;
    // The view that asked for the switch may be inside its own button's click: replace it on the next turn.
    QTimer::singleShot(0, this, [this] {
        m_switchPending = false;
        showSelectedSection();
    });
}

void MainWindow::showSelectedSection() {
    const NavigationSection section = m_store.selectedSection();
    if (section == m_shownSection && m_view)
        return;
    if (m_view) {
        m_viewHost->removeWidget(m_view);
        m_view->hide();
        m_view->deleteLater();
    }
    // Built anew each time, so its input state starts from the defaults.
    m_shownSection = section;
    m_view = makeSectionView(section, m_store, m_viewHost->parentWidget());
    m_viewHost->addWidget(m_view);
    m_view->show();
}

void MainWindow::syncSectionList() {
    const NavigationSection section = m_store.selectedSection();
    for (int i = 0; i < m_sections->count(); ++i) {
        QListWidgetItem* item = m_sections->item(i);
        if (static_cast<NavigationSection>(item->data(kSectionRole).toInt()) == section) {
            if (m_sections->currentItem() != item) {
                m_syncingList = true;
                m_sections->setCurrentItem(item);
                m_syncingList = false;
            }
            return;
        }
    }
}
