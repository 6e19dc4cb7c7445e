#pragma once

// A request to confirm one operation, raised by a view and published by the store.

#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

/// The look of an action button and of a confirmation.
enum class HalvoButtonVariant { primary, success, warning, danger, purple, secondary };

struct HalvoConfirmRequest {
    QUuid id = QUuid::createUuid();
    QString title;
    QString message;
    std::optional<QString> warningDetails;
    QString confirmButtonTitle;
    HalvoButtonVariant variant = HalvoButtonVariant::primary;
    /// When set and not empty, the user must type this text (compared trimmed and lower-cased).
    std::optional<QString> requireTypedConfirmation;
    /// Runs after the sheet has closed, only when the user confirms. It captures values, not views.
    std::function<void()> action;
};
