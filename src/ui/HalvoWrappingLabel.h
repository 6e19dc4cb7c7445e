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
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_lastWidth = -1;
};
