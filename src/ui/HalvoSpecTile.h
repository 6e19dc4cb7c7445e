#pragma once

#include "ui/Theme.h"

#include <QFrame>
#include <QPushButton>
#include <QString>

#include <functional>
#include <optional>

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
