#pragma once

// The one place for colours, text styles, button looks and icons. Views name a style or a tint, never a
// point size or a colour value.

#include "store/NavigationSection.h"
#include "ui/HalvoButtonVariant.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

class QWidget;
class QLabel;

namespace halvo::theme {

/// Text styles, as sizes relative to the application font.
enum class TextStyle { largeTitle, title, title2, title3, headline, subheadline, body, callout, caption, caption2 };
enum class Weight { regular, medium, semibold, bold };

/// Named tints. `primary` and `secondary` are the text colours of the palette.
enum class Tint { blue, green, orange, red, purple, teal, indigo, yellow, pink, gray, primary, secondary };

QFont font(TextStyle style, Weight weight = Weight::regular, bool monospaced = false);
QColor color(Tint tint, qreal opacity = 1.0);
/// The fill colour of an action button of the variant.
QColor buttonColor(HalvoButtonVariant variant);
/// The background of list rows inside cards: the primary text colour at 4 %.
QColor listRowBackground();
/// The background of a header band (a translucent material).
QColor headerBandBackground();
/// The background of a tab bar: the primary text colour at 3 %.
QColor tabBarBackground();
/// The screen of a console rendering: black, whatever the palette.
QColor consoleBackground();
/// The text on a console screen: a light green, readable on the black screen (the green tint is made for
/// light surfaces).
QColor consoleTextColor();
/// The surfaces that text lies on: the window, a card, a sidebar.
QColor windowBackground();
QColor cardBackground();
QColor sidebarBackground();
/// The hairline of dividers and card borders: the text colour at 10 %.
QColor hairlineColor();
/// The hairline as it shows on an opaque surface, itself opaque. A line as tall as a card or the window is filled
/// in one pass when opaque; a translucent one is blended in shares that the raster engine hands to a thread pool
/// and waits for. The pixels are the same.
QColor hairlineOn(const QColor& surface);
/// The fill of a status badge in the tint (its text is drawn in the tint).
QColor badgeBackground(Tint tint);

/// The ring around the control that has keyboard focus, and its width in pixels. Every focusable control
/// (buttons of each variant, chips, switches, lists, tables, fields) shows it while it has focus.
QColor focusRingColor();
int focusRingWidth();
/// The fill of a selected row and of selected text (opaque). Text on it keeps the theme's text colours.
QColor selectionBackground();
/// The handle of a scroll bar.
QColor scrollHandleColor();
/// A disabled action button looks the same whatever its variant: a pale fill with grey text.
QColor disabledButtonColor();
QColor disabledButtonTextColor();

/// The resources whose header bands open with a gradient icon tile.
enum class IconTileKind { domain, vps, dedicatedServer, ipBlock };
struct TileGradient {
    QColor from; ///< top-leading corner
    QColor to;   ///< bottom-trailing corner
};
/// The gradient of a resource's icon tile.
TileGradient iconTileGradient(IconTileKind kind);
/// The edge length in pixels of the symbol on a resource's icon tile: the symbol at 28 points beside the
/// platform's 13-point body text, 26 points for an IP block, scaled to the application font.
int iconTileSymbolSize(IconTileKind kind);

/// The symbol shown beside a section's title in the section list.
QString sectionSymbol(NavigationSection section);

/// The icon for a symbol name (such as "server.rack"); an empty icon for an unknown name.
QIcon icon(const QString& symbolName);
/// Whether the symbol name has an entry in the icon table.
bool hasIcon(const QString& symbolName);
/// Every symbol name of the icon table.
QStringList knownSymbols();
/// The freedesktop icon name of the symbol, or an empty text for an unknown symbol and for the symbols no
/// icon theme has, which the theme draws itself ("4.circle.fill", "6.circle.fill").
QString iconName(const QString& symbolName);
/// The non-empty symbol names asked for since the start (or the last clear) that have no entry. The
/// screenshot tool and the tests fail on any, so a view cannot name a symbol the table lacks.
QStringList unknownSymbolsRequested();
void clearUnknownSymbolsRequested();

/// Sets font and text colour of a label.
void style(QLabel* label, TextStyle style, Weight weight = Weight::regular, Tint tint = Tint::primary,
           bool monospaced = false);
/// A new label with the style applied. Plain text only (never rich text).
QLabel* label(const QString& text, TextStyle style, Weight weight = Weight::regular, Tint tint = Tint::primary,
              bool monospaced = false, QWidget* parent = nullptr);
/// A new label for one line of a console screen: monospaced, in the console's text colour. Plain text only.
QLabel* consoleLine(const QString& text, TextStyle style, QWidget* parent = nullptr);
/// Gives a label (made elsewhere) the console's text colour.
void styleConsoleLine(QLabel* label);
/// A label showing the symbol's icon at the size of the text style, drawn in the tint. The label carries
/// the symbol name and the tint name in its properties "symbolName" and "tint", so tests can read them.
QLabel* symbol(const QString& symbolName, TextStyle size, Tint tint, QWidget* parent = nullptr);

/// The symbol's icon drawn in one colour (white on coloured buttons, the tint beside text).
QIcon tintedIcon(const QString& symbolName, const QColor& color);
/// The edge length of a symbol shown at the size of the text style, in pixels.
int symbolSize(TextStyle style);

/// Sets up the application-wide look (fallback icon theme, palette, style sheet of the shared components).
/// Called once by main and the tests.
void install();

/// The text colour on an action button of the variant (white on colour, primary text on neutral).
QColor buttonTextColor(HalvoButtonVariant variant);
/// The name of a variant ("primary", "danger", ...), as the style sheet and tests see it.
QString variantName(HalvoButtonVariant variant);
/// The name of a tint ("blue", "secondary", ...), as the style sheet and tests see it.
QString tintName(Tint tint);

} // namespace halvo::theme
