#pragma once

// A request to confirm one operation, raised by a view and published by the store. Widget-free, so the
// store can hold it without linking the widgets.

#include "ui/HalvoButtonVariant.h"

#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

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
