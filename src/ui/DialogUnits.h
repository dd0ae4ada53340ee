#pragma once
// Places controls by dialog units, the font-relative grid our window layouts are drawn on: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an eighth
// of its height. Windows keep their proportions with any font size.

#include <QRect>
#include <QSize>
class QFont;
class QGroupBox;
class QWidget;

namespace tavrel {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }
    // Sets the geometry of `widget` and returns it, so creation and placing read as one line.
    template <typename W>
    W* Place(W* widget, int x, int y, int w, int h) const {
        widget->setGeometry(Rect(x, y, w, h));
        return widget;
    }

    // A frame with a title: our layouts put the frame line through the middle of the title, so
    // the box starts half a line higher than its frame.
    QGroupBox* PlaceGroup(QGroupBox* group, int x, int y, int w, int h) const;

private:
    int baseX_;
    int baseY_;
};

}  // namespace tavrel
