#pragma once

#include "ui/HalvoButtonVariant.h"

#include <QPushButton>
#include <QString>

/// An action button in one of the variants, normal or small. Never disabled by the views. Return never presses
/// it by itself (no auto-default, also in a dialog); Space presses it when it has the focus.
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

    /// The title as drawn now: whole, or ending in "…" (the whole title in the tooltip) when narrower.
    QString shownText() const;
    bool isElided() const;

protected:
    /// Draws "&" as it is: the titles hold ampersands ("Hardware & Status"), never mnemonics.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyStyle();
    HalvoButtonVariant m_variant;
    bool m_small;
    QString m_icon;
};
