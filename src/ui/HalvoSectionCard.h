#pragma once

#include "ui/Theme.h"

#include <QFrame>
#include <QString>

class QLabel;
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
