// CDialogUnits: positions and sizes of a dialog's design, in dialog units, turned into pixels.
//
// A horizontal dialog unit is a quarter of the dialog font's average character width and a
// vertical one an eighth of its character height, so a dialog keeps its proportions with whatever
// font it gets. The average width is that of the 52 Latin letters, rounded to the nearest pixel
// (halves up); the height is the font's full line height (ascent plus descent).
#pragma once

#include <QFont>
#include <QRect>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    // The font of Tamber's dialogs: Noto Sans CJK JP at 9 points, the Japanese font that Linux
    // desktops commonly have, of the size the dialogs' proportions were drawn with.
    static QFont GetDialogFont();

    // The base units in pixels: average character width and character height (both at least 1).
    int GetBaseX() const { return m_nBaseX; }
    int GetBaseY() const { return m_nBaseY; }

    // Dialog units to pixels, rounded to the nearest pixel (halves away from zero).
    int ToPixelsX(int nUnits) const;
    int ToPixelsY(int nUnits) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
