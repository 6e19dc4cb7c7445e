#pragma once

// The shared building blocks that every section view places on its screens.

#include "store/HalvoConfirmRequest.h"
#include "ui/Theme.h"

#include <QFrame>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;

/// A titled card around other widgets: icon and title, optional subtitle, then the content.
class HalvoSectionCard final : public QFrame {
    Q_OBJECT
public:
    HalvoSectionCard(const QString& title, const std::optional<QString>& subtitle, const QString& icon,
                     halvo::theme::Tint tint, QWidget* parent = nullptr);

    /// Where the content goes (a vertical layout, 12 points between items).
    QVBoxLayout* contentLayout() const;
    /// Changes the title or the subtitle in place (a card whose texts follow the data keeps its content).
    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);

    /// Adds a leading-aligned column with `spacing` points between its items and returns its layout.
    QVBoxLayout* addColumn(int spacing);
    /// Adds a widget or layout below the title.
    void addContent(QWidget* widget);
    void addContent(QLayout* layout);

private:
    QVBoxLayout* m_titles = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QVBoxLayout* m_content = nullptr;
};

/// A tile for one value. With a copy value it shows a "Kopieren" chip that clears the clipboard, puts the
/// value on it as plain text and then calls `onCopy` with it (when given).
class HalvoSpecTile final : public QFrame {
    Q_OBJECT
public:
    struct Spec {
        QString label;
        QString value;
        std::optional<QString> subvalue;
        QString icon;
        halvo::theme::Tint tint = halvo::theme::Tint::blue;
        std::optional<QString> copyValue;
        std::function<void(const QString&)> onCopy;
    };

    explicit HalvoSpecTile(Spec spec, QWidget* parent = nullptr);

    /// The "Kopieren" chip, or nullptr when the tile has no copy value.
    QPushButton* copyButton() const { return m_copyButton; }
    const Spec& spec() const { return m_spec; }

private:
    Spec m_spec;
    QPushButton* m_copyButton = nullptr;
};

/// Tiles in a grid of flexible columns (each at least 10 points wide), 12 points apart, filled row by row in
/// the given order; a tile whose condition fails is simply not in the list, so the following ones move up.
/// The name given is the object name of the widget and of its grid layout.
class HalvoSpecGrid final : public QWidget {
    Q_OBJECT
public:
    HalvoSpecGrid(const QString& name, const QList<HalvoSpecTile::Spec>& tiles, int columns = 4,
                  QWidget* parent = nullptr);
};

/// The 58-point rounded tile at the start of a header band: the resource's gradient with its symbol in white.
class HalvoIconTile final : public QWidget {
    Q_OBJECT
public:
    HalvoIconTile(const QString& symbolName, halvo::theme::IconTileKind kind, QWidget* parent = nullptr);
    QString symbolName() const { return m_symbol; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    halvo::theme::IconTileKind m_kind;
};

/// A small capsule with a text in a colour; an icon before the text, or a coloured dot when none.
class HalvoStatusBadge final : public QFrame {
    Q_OBJECT
public:
    HalvoStatusBadge(const QString& text, halvo::theme::Tint tint, const std::optional<QString>& icon = std::nullopt,
                     QWidget* parent = nullptr);
    QString text() const { return m_text; }
    halvo::theme::Tint tint() const { return m_tint; }

private:
    QString m_text;
    halvo::theme::Tint m_tint;
};

/// A single-line input bound to a text: it shows the bound text and writes every edit back to it.
/// With `isSecure` it hides the text and offers a reveal switch.
class HalvoFormTextField final : public QWidget {
    Q_OBJECT
public:
    HalvoFormTextField(const QString& placeholder, QString* binding, bool isSecure = false, QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return m_edit; }
    /// Takes the bound text again (after the state was changed elsewhere, e.g. cleared by an action).
    void reload();

Q_SIGNALS:
    /// After an edit was written to the binding.
    void edited(const QString& text);

private:
    QString* m_binding;
    QLineEdit* m_edit = nullptr;
    bool m_reloading = false;
};

/// An action button in one of the variants, normal or small. Never disabled by the views.
class HalvoActionButton final : public QPushButton {
    Q_OBJECT
public:
    HalvoActionButton(const QString& text, HalvoButtonVariant variant, bool isSmall = false,
                      const QString& icon = QString(), QWidget* parent = nullptr);

    HalvoButtonVariant variant() const { return m_variant; }
    void setVariant(HalvoButtonVariant variant);
    bool isSmall() const { return m_small; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    /// Draws "&" as it is: the titles hold ampersands ("Hardware & Status"), never mnemonics.
    void paintEvent(QPaintEvent* event) override;

private:
    void applyStyle();
    HalvoButtonVariant m_variant;
    bool m_small;
    QString m_icon;
};

namespace halvo::ui {

/// Puts exactly the text on the clipboard (clear, then set).
void copyToClipboard(const QString& text);

/// A card row: the list-row background with rounded corners of radius 8 and the given inner spacing. Its
/// items go into its horizontal layout (`row->layout()`, 8 points apart); nest a layout for other shapes.
QFrame* listRow(int horizontalInset, int verticalInset, QWidget* parent = nullptr);

/// The header text of a table column: caption, bold, secondary colour; a fixed width when `width` > 0.
QLabel* columnHeader(const QString& text, int width, Qt::Alignment alignment);

/// A horizontal or vertical line.
QFrame* divider(QWidget* parent = nullptr, bool vertical = false);

/// Removes and deletes every item of a layout (deferred deletion of widgets).
void clearLayout(QLayout* layout);

} // namespace halvo::ui
