#pragma once

// The sheet that asks the user to confirm one operation, and the presenter that shows the store's pending
// request in it. The sheet is a window-modal dialog opened with open(): nothing waits for it.

#include "ui/HalvoConfirmRequest.h"

#include <QDialog>
#include <QPointer>
#include <QUuid>

class AppStateStore;
class HalvoActionButton;
class QLineEdit;

class HalvoConfirmationSheet final : public QDialog {
    Q_OBJECT
public:
    explicit HalvoConfirmationSheet(const HalvoConfirmRequest& request, QWidget* parent = nullptr);

    QUuid requestId() const { return m_requestId; }
    HalvoActionButton* confirmButton() const { return m_confirmButton; }
    HalvoActionButton* cancelButton() const { return m_cancelButton; }
    /// The field for the typed confirmation, or nullptr when none is asked.
    QLineEdit* typedConfirmationField() const { return m_typedField; }
    /// Whether the confirm button works now (always, unless a typed confirmation is asked and not matched).
    bool canConfirm() const;

    /// The typed text matches: trimmed and lower-cased, it equals the lower-cased required text.
    static bool typedTextMatches(const QString& typed, const QString& required);

Q_SIGNALS:
    /// The user confirmed; the sheet has closed already.
    void confirmed();

private:
    void tryConfirm();

    QUuid m_requestId;
    QString m_required;
    HalvoActionButton* m_confirmButton = nullptr;
    HalvoActionButton* m_cancelButton = nullptr;
    QLineEdit* m_typedField = nullptr;
};

/// Shows the store's pending confirmation in a sheet over `host`. A new request replaces the shown one. On
/// confirmation the sheet closes, the store's pending request is cleared and then the action runs;
/// cancelling or dismissing clears the pending request and runs nothing.
class HalvoConfirmationPresenter final : public QObject {
    Q_OBJECT
public:
    HalvoConfirmationPresenter(AppStateStore& store, QWidget* host);

    /// The sheet shown now, or nullptr.
    HalvoConfirmationSheet* sheet() const { return m_sheet; }

private:
    void present();
    void closeSheet();

    AppStateStore& m_store;
    QWidget* m_host;
    QPointer<HalvoConfirmationSheet> m_sheet;
};
