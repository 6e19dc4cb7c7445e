#pragma once

#include "ui/Theme.h"

#include <QFrame>
#include <QString>

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
