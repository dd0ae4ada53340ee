#pragma once
// The picture button used by most windows: an icon and a text, drawn by the button itself so
// the icon sits at a fixed margin and the text centres in the room beside it.

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QPushButton>

namespace tavrel {

class CSXButton : public QPushButton {
    Q_OBJECT
public:
    explicit CSXButton(QWidget* parent = nullptr);
    CSXButton(const QString& text, QWidget* parent);

    // Loads icon `iconId` at the given size; false (and nothing changed) for an unknown icon.
    bool SetIcon(int iconId, int width = 32, int height = 32);
    // Turns automatic positioning on; returns the old margin.
    int SetImageMargin(int margin);
    // Makes this the window's default button, drawn with a black frame; returns the old flag.
    bool SetDefault(bool isDefault);
    // A small triangle in the upper left corner, to single the button out.
    void SetCornerMark(bool on, const QColor& colour = Qt::red);
    // Fixed positions instead of the automatic ones.
    void SetImagePosition(const QPoint& position);
    void SetTextPosition(const QPoint& position);

    int iconId() const { return iconId_; }
    int imageMargin() const { return margin_; }
    bool isDefaultButton() const { return default_; }

    // Where the image and the text go inside `client` (before the pressed offset).
    struct Layout {
        QRect image;
        QRect text;
    };
    Layout ComputeLayout(const QRect& client) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int iconId_ = 0;
    QPixmap image_;
    QPixmap disabledImage_;
    QSize imageSize_;
    QPoint imagePos_;
    QPoint textPos_;
    int margin_ = 4;
    int gap_ = 8;
    bool autoPosition_ = true;
    bool default_ = false;
    bool cornerMark_ = false;
    QColor markColour_;
};

}  // namespace tavrel
