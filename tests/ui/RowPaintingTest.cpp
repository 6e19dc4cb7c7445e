#include "ui/HalvoRowPainting.h"
#include "ui/Theme.h"

#include <QFontMetrics>
#include <QString>

#include <gtest/gtest.h>

using halvo::theme::TextStyle;
using halvo::theme::Weight;

namespace {

QString repeated(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

// A long text is cut before eliding only where that leaves the result as eliding the whole text gives it.
TEST(RowPainting, ElidedRightIsWhatElidingTheWholeTextGives) {
    const QString dkim = QStringLiteral("v=DKIM1; k=rsa; p=") +
                         repeated(QStringLiteral("MIIBIjANBgkqhkiG9w0BAQEFAAOCAQ8AMIIBCgKCAQEAx+/="), 12);
    const struct {
        const char* name;
        QString text;
    } texts[] = {
        {"empty", QString()},
        {"short", QStringLiteral("mail.example.net")},
        {"dkim key", dkim},
        {"umlauts", repeated(QStringLiteral("Größenänderung überprüfen "), 30)},
        {"combining marks", repeated(QStringLiteral("e\u0301a\u0308o\u0302 "), 120)},
        {"emoji sequences",
         repeated(QStringLiteral("ab\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1E9\U0001F1EA"), 60)},
        {"ligatures", repeated(QStringLiteral("office fifty ffl "), 60)},
        {"right to left", repeated(QStringLiteral("abc \u05E9\u05DC\u05D5\u05DD "), 80)},
        {"bidi controls", QStringLiteral("\u202B") + repeated(QStringLiteral("text "), 100) + QStringLiteral("\u202C")},
        {"digits only", repeated(QStringLiteral("0123456789"), 80)},
    };
    const struct {
        const char* name;
        QFont font;
    } fonts[] = {
        {"monospaced", halvo::theme::font(TextStyle::subheadline, Weight::regular, true)},
        {"monospaced bold", halvo::theme::font(TextStyle::subheadline, Weight::bold, true)},
        {"proportional", halvo::theme::font(TextStyle::body)},
        {"caption", halvo::theme::font(TextStyle::caption)},
    };
    const int widths[] = {-5, 0, 1, 7, 40, 120, 333, 1000, 5000, 100000};
    for (const auto& font : fonts) {
        const QFontMetrics metrics(font.font);
        for (const auto& text : texts) {
            for (const int width : widths) {
                SCOPED_TRACE(std::string(font.name) + ", " + text.name + ", width " + std::to_string(width));
                EXPECT_EQ(halvo::ui::elidedRight(metrics, text.text, width),
                          metrics.elidedText(text.text, Qt::ElideRight, width));
            }
        }
    }
}
