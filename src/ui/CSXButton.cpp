#include "ui/CSXButton.h"

#include <algorithm>

#include <QDialog>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/AppIcons.h"

namespace tavrel {

CSXButton::CSXButton(QWidget* parent) : QPushButton(parent) {}

CSXButton::CSXButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

bool CSXButton::SetIcon(int iconId, int width, int height) {
    const int side = std::max(width, height);
    QPixmap pixmap = IconPixmap(iconId, side);
    if (pixmap.isNull()) return false;
    iconId_ = iconId;
    image_ = pixmap;
    disabledImage_ = IconPixmap(iconId, side, true);
    imageSize_ = QSize(width, height);
    update();
    return true;
}

int CSXButton::SetImageMargin(int margin) {
    const int old = margin_;
    autoPosition_ = true;
    margin_ = margin;
    update();
    return old;
}

bool CSXButton::SetDefault(bool isDefault) {
    const bool old = default_;
    default_ = isDefault;
    setDefault(isDefault);  // Enter in the window presses this button
    update();
    return old;
}

void CSXButton::SetCornerMark(bool on, const QColor& colour) {
    cornerMark_ = on;
    markColour_ = colour;
    update();
}

void CSXButton::SetImagePosition(const QPoint& position) {
    autoPosition_ = false;
    imagePos_ = position;
    update();
}

void CSXButton::SetTextPosition(const QPoint& position) {
    autoPosition_ = false;
    textPos_ = position;
    update();
}

CSXButton::Layout CSXButton::ComputeLayout(const QRect& client) const {
    Layout layout;
    const QFontMetrics metrics(font());
    const QSize textSize(metrics.horizontalAdvance(text()), metrics.height());
    const bool hasImage = !image_.isNull();
    const bool hasText = !text().isEmpty();
    const int iw = hasImage ? imageSize_.width() : 0;
    const int ih = hasImage ? imageSize_.height() : 0;
    if (!autoPosition_) {
        if (hasImage) layout.image = QRect(client.topLeft() + imagePos_, imageSize_);
        if (hasText) layout.text = QRect(client.topLeft() + textPos_, textSize);
        return layout;
    }
    const int imageY = client.top() + (client.height() - ih) / 2;
    if (hasImage) {
        const int x = hasText ? client.left() + margin_ : client.left() + (client.width() - iw) / 2;
        layout.image = QRect(x, imageY, iw, ih);
    }
    if (hasText) {
        int x;
        if (hasImage) {
            // Centred in the room right of the image: margin, image and gap come first.
            const int free = std::max(0, client.width() - textSize.width() - gap_ - iw - margin_);
            x = client.left() + gap_ + free / 2 + iw + margin_;
        } else {
            x = client.left() + (client.width() - textSize.width()) / 2;
        }
        layout.text = QRect(x, client.top() + (client.height() - textSize.height()) / 2, textSize.width(),
                            textSize.height());
    }
    return layout;
}

QSize CSXButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text()) + gap_;
    const int imageWidth = image_.isNull() ? 0 : imageSize_.width();
    const int height = std::max(metrics.height(), image_.isNull() ? 0 : imageSize_.height());
    return QSize(2 * margin_ + imageWidth + textWidth + 8, height + 12);
}

void CSXButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QRect client = rect();

    // A default button wears a black frame; the rest is drawn one pixel inside it.
    if (default_) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(client.adjusted(0, 0, -1, -1));
        client.adjust(1, 1, -1, -1);
    }

    QStyleOptionButton frame;
    frame.initFrom(this);
    frame.rect = client;
    frame.state &= ~QStyle::State_HasFocus;  // the focus rectangle is ours
    frame.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButtonBevel, frame);

    if (cornerMark_) {
        painter.setPen(markColour_);
        for (int i = 0; i < 8; ++i)
            painter.drawLine(client.left() + 2, client.top() + 2 + i, client.left() + 2 + 7 - i,
                             client.top() + 2 + i);
    }

    const Layout layout = ComputeLayout(client);
    const QPoint pressed = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    if (!layout.image.isNull())
        painter.drawPixmap(layout.image.translated(pressed), isEnabled() ? image_ : disabledImage_);
    if (!layout.text.isNull())
        style()->drawItemText(&painter, layout.text.translated(pressed), Qt::AlignLeft | Qt::AlignVCenter,
                              palette(), isEnabled(), text(), QPalette::ButtonText);

    if (hasFocus()) {
        const int side = std::min(client.width(), client.height());
        const int inset = side <= 15 ? side / 4 : 3;
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = client.adjusted(inset, inset, -inset, -inset);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace tavrel
