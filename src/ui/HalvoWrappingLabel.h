#pragma once

// A word-wrapped label that always gets the height its wrapped text needs at its present width, even
// inside layouts that do not ask for a height for a width (a row of cards): its minimum height follows its
// width. Lines start at the top, so nothing of the first line (the marks of "Ä") is cut.

#include <QLabel>
#include <QString>

class HalvoWrappingLabel final : public QLabel {
    Q_OBJECT
public:
    explicit HalvoWrappingLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Room above the first line for marks that reach above the font's ascent (and a pixel of air).
    void updateMargins();

    int m_lastWidth = -1;
};
