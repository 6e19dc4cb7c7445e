#pragma once

// The main window: the sections beside the shown section view, a header bar with the search field above
// it and the status line below it. It also presents the store's pending confirmation.

#include "store/NavigationSection.h"

#include <QMainWindow>
#include <QPointer>

class AppStateStore;
class HalvoConfirmationPresenter;
class QLabel;
class QLineEdit;
class QListWidget;
class QVBoxLayout;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kWindowTitle = QStringLiteral("Vevavavozi Pultorium Pro – macOS 15 Universal");
    static constexpr int kMinimumContentWidth = 1180;
    static constexpr int kMinimumContentHeight = 740;
    static constexpr int kDefaultWidth = 1440;
    static constexpr int kDefaultHeight = 900;

    explicit MainWindow(AppStateStore& store, QWidget* parent = nullptr);
    ~MainWindow() override;

    QLineEdit* searchField() const { return m_search; }
    QLabel* statusLine() const { return m_status; }
    QListWidget* sectionList() const { return m_sections; }
    /// The section view shown now (a DomainsView, VPSView, DedicatedServersView or IPRdnsView).
    QWidget* sectionView() const { return m_view; }
    /// The section whose view is shown now.
    NavigationSection shownSection() const { return m_shownSection; }
    HalvoConfirmationPresenter* confirmationPresenter() const { return m_presenter; }

    /// The window's geometry (without its frame) when it opens on a screen whose available area is
    /// `available` with a frame of `frame` around it: the default size where it fits, never less than the
    /// minimum, the frame inside the area as far as the minimum allows (from its top-left corner when not).
    static QRect openingGeometry(const QRect& available, const QMargins& frame);

protected:
    /// Tab walks the search field, the section list, then the section view (sidebar, header, tabs,
    /// content) and comes back round to the search field.
    bool focusNextPrevChild(bool next) override;
    /// Esc in the search field clears the search.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// The widgets that take focus by Tab, in order.
    QList<QWidget*> focusOrder() const;
    void scheduleSectionSwitch();
    void showSelectedSection();
    void syncSectionList();
    /// The store's status sentence with the mark and colour of its kind.
    void showStatus();

    AppStateStore& m_store;
    QListWidget* m_sections = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_statusDone = nullptr;
    QLabel* m_statusFailed = nullptr;
    QVBoxLayout* m_viewHost = nullptr;
    QPointer<QWidget> m_view;
    NavigationSection m_shownSection = NavigationSection::domains;
    bool m_switchPending = false;
    bool m_syncingList = false;
    bool m_placed = false;
    HalvoConfirmationPresenter* m_presenter = nullptr;
};
