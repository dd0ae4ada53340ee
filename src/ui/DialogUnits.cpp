#include "ui/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>

namespace tavrel {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over both alphabets, rounded as the dialog grid always has been.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1) baseX_ = 1;
    if (baseY_ < 1) baseY_ = 1;
}

QGroupBox* DialogUnits::PlaceGroup(QGroupBox* group, int x, int y, int w, int h) const {
    const int half = QFontMetrics(group->font()).height() / 2;
    QRect r = Rect(x, y, w, h);
    r.setTop(r.top() - half);
    group->setGeometry(r);
    return group;
}

}  // namespace tavrel
