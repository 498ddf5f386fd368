#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

// Window designs as data: what the window framework builds a window and its controls from.
// Pictures and cursors are catalogue names; an empty name means none.
namespace sorvo::design {

enum class ControlKind {
    PictureBox,    // a still or animated picture
    Canvas,        // a retained drawing surface over a tiled background picture
    WebBrowser,    // an embedded browser opening `address` on the product web site
    GraphicButton, // a button drawn from a normal and a highlighted picture
    Label,
    DropDownList, // entries with an integer attached to each
    ProgressBar,  // range 0 to 1000
    Timer,        // non-visual; interval 0 means stopped
};

// The system hand cursor, for controls that use it instead of a catalogue cursor.
inline const QString handCursor = QStringLiteral("#hand");

// Escape asks the window to close, as the system's close command does.
inline const QString closeRequest = QStringLiteral("#close");

struct ControlDesign {
    QString formName; // becomes the widget's objectName
    ControlKind kind;
    QRect rect;
    QString picture;            // picture box, canvas background, button's normal picture
    QString highlightedPicture; // button under the pointer
    QString cursor;
    QString text;         // label or button caption
    QString pictureWords; // what a button's picture says, for screen readers; empty: the caption
    QString address;      // web browser: path on the product web site
    QString fontFamily;   // label font
    int fontPixelSize = 0;
    QColor textColour;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    std::vector<std::pair<QString, int>> entries; // drop-down list
};

// When a window is clipped to a rounded rectangle of its size at the time, with 11 × 11 corners.
enum class Rounding {
    None,
    WhenCreated, // once, as it is created: it keeps that outline
    WhenSized,   // whenever its size changes, its first sizing included
    WhenCreatedAndSized,
};

struct WindowDesign {
    QString name; // the window's role name, also its objectName
    QString title;
    QSize size;
    QPoint storedPosition;
    QColor background; // invalid: the system default
    QString backgroundPicture;
    QString icon;
    QString cursor;
    Rounding rounding = Rounding::None;
    // Keyboard use of the controls. With a focus colour, Tab and Shift+Tab go round the picture
    // buttons and the drop-down list in design order, the first taking the focus when the window
    // opens, and the focused one is framed in that colour. Without one, keys go where Qt sends
    // them (the main window's page takes them).
    QColor focusColour;
    QString escapeKey; // the form name of the button Escape presses, or `closeRequest`
    std::vector<ControlDesign> controls;
};

// A menu scheme: eleven colours in stored order, the item icon list and the font.
struct MenuScheme {
    std::vector<QColor> colours;
    QString iconList;
    QString fontFamily;
    int fontPixelSize;
};

const WindowDesign& mainWindow();
const WindowDesign& splashWindow();
const WindowDesign& quitConfirmWindow();
const WindowDesign& aboutWindow();
const WindowDesign& versionWindow();
const WindowDesign& updateWindow();

const MenuScheme& trayMenuScheme();
const MenuScheme& updateMenuScheme();

} // namespace sorvo::design
