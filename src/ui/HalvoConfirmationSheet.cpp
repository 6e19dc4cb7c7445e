#include "ui/HalvoConfirmationSheet.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

Tint variantTint(HalvoButtonVariant variant) {
    switch (variant) {
    case HalvoButtonVariant::primary:
        return Tint::blue;
    case HalvoButtonVariant::success:
        return Tint::green;
    case HalvoButtonVariant::warning:
        return Tint::orange;
    case HalvoButtonVariant::danger:
        return Tint::red;
    case HalvoButtonVariant::purple:
        return Tint::purple;
    case HalvoButtonVariant::secondary:
        return Tint::secondary;
    }
    return Tint::blue;
}

} // namespace

// ---- HalvoConfirmationSheet ----

HalvoConfirmationSheet::HalvoConfirmationSheet(const HalvoConfirmRequest& request, QWidget* parent)
    : QDialog(parent)
    , m_requestId(request.id)
    , m_required(request.requireTypedConfirmation.value_or(QString())) {
    setObjectName(QStringLiteral("halvoConfirmationSheet"));
    setWindowTitle(request.title);
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(440);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 22, 24, 20);
    column->setSpacing(14);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(10);
    titleRow->addWidget(halvo::theme::symbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::title3,
                                             variantTint(request.variant), this));
    auto* title = halvo::theme::label(request.title, TextStyle::title3, Weight::bold, Tint::primary, false, this);
    title->setWordWrap(true);
    titleRow->addWidget(title, 1);
    column->addLayout(titleRow);

    auto* message = halvo::theme::label(request.message, TextStyle::body, Weight::regular, Tint::primary, false, this);
    message->setWordWrap(true);
    column->addWidget(message);

    if (request.warningDetails) {
        auto* box = new QFrame(this);
        box->setObjectName(QStringLiteral("halvoWarningBox"));
        auto* boxRow = new QHBoxLayout(box);
        boxRow->setContentsMargins(12, 10, 12, 10);
        boxRow->setSpacing(8);
        boxRow->addWidget(halvo::theme::symbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::callout,
                                               Tint::orange, box),
                          0, Qt::AlignTop);
        auto* details =
            halvo::theme::label(*request.warningDetails, TextStyle::callout, Weight::medium, Tint::primary, false, box);
        details->setWordWrap(true);
        boxRow->addWidget(details, 1);
        column->addWidget(box);
    }

    if (!m_required.isEmpty()) {
        m_typedField = new QLineEdit(this);
        m_typedField->setObjectName(QStringLiteral("halvoTypedConfirmation"));
        m_typedField->setPlaceholderText(m_required);
        m_typedField->setFont(halvo::theme::font(TextStyle::body, Weight::regular, true));
        connect(m_typedField, &QLineEdit::textChanged, this, [this] { m_confirmButton->setEnabled(canConfirm()); });
        connect(m_typedField, &QLineEdit::returnPressed, this, &HalvoConfirmationSheet::tryConfirm);
        column->addWidget(m_typedField);
    }

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    m_cancelButton =
        new HalvoActionButton(QStringLiteral("Abbrechen"), HalvoButtonVariant::secondary, false, QString(), this);
    m_confirmButton = new HalvoActionButton(request.confirmButtonTitle, request.variant, false, QString(), this);
    // Return must never confirm by accident; the typed field handles its own Return.
    m_cancelButton->setAutoDefault(false);
    m_confirmButton->setAutoDefault(false);
    m_confirmButton->setEnabled(canConfirm());
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_confirmButton);
    column->addLayout(buttons);

    // The keyboard starts where nothing happens by accident: in the typed field, or on the cancel button.
    if (m_typedField)
        m_typedField->setFocus();
    else
        m_cancelButton->setFocus();

    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_confirmButton, &QPushButton::clicked, this, &HalvoConfirmationSheet::tryConfirm);
}

bool HalvoConfirmationSheet::typedTextMatches(const QString& typed, const QString& required) {
    return halvo::trimmed(typed).toLower() == required.toLower();
}

bool HalvoConfirmationSheet::canConfirm() const {
    if (m_required.isEmpty())
        return true;
    return m_typedField && typedTextMatches(m_typedField->text(), m_required);
}

void HalvoConfirmationSheet::tryConfirm() {
    if (!canConfirm())
        return;
    // Closed first, so that whatever the action opens or changes happens after the sheet is gone.
    done(QDialog::Accepted);
    Q_EMIT confirmed();
}

// ---- HalvoConfirmationPresenter ----

HalvoConfirmationPresenter::HalvoConfirmationPresenter(AppStateStore& store, QWidget* host)
    : QObject(host)
    , m_store(store)
    , m_host(host) {
    connect(&m_store, &AppStateStore::pendingConfirmationChanged, this, &HalvoConfirmationPresenter::present);
    present();
}

void HalvoConfirmationPresenter::present() {
    const std::optional<HalvoConfirmRequest>& pending = m_store.pendingConfirmation();
    if (!pending) {
        closeSheet();
        return;
    }
    if (m_sheet && m_sheet->requestId() == pending->id)
        return;
    // A newer request replaces the shown one; the replaced one runs nothing.
    closeSheet();

    auto* sheet = new HalvoConfirmationSheet(*pending, m_host);
    m_sheet = sheet;
    const QUuid id = pending->id;
    const std::function<void()> action = pending->action;
    connect(sheet, &HalvoConfirmationSheet::confirmed, this, [this, id, action] {
        if (!m_store.pendingConfirmation() || m_store.pendingConfirmation()->id != id)
            return;
        // Clearing closes this sheet's connection; the action is held on the stack.
        const std::function<void()> run = action;
        m_store.clearPendingConfirmation();
        if (run)
            run();
    });
    connect(sheet, &QDialog::rejected, this, [this, id] {
        if (m_store.pendingConfirmation() && m_store.pendingConfirmation()->id == id)
            m_store.clearPendingConfirmation();
        else
            closeSheet();
    });
    sheet->open();
}

void HalvoConfirmationPresenter::closeSheet() {
    if (!m_sheet)
        return;
    HalvoConfirmationSheet* sheet = m_sheet;
    m_sheet = nullptr;
    // Disconnected first: closing a replaced sheet is not the user's cancel.
    sheet->disconnect(this);
    if (sheet->isVisible())
        sheet->done(QDialog::Rejected);
    sheet->deleteLater();
}
