#include "ui/CStaticLink.h"

#include <QApplication>
#include <QMouseEvent>

#include "common/Process.h"

namespace tavrel {

namespace {
CStaticLink::Opener g_opener;
}  // namespace

CStaticLink::CStaticLink(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent), target_(target) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    ApplyColour();
}

void CStaticLink::SetOpener(Opener opener) { g_opener = std::move(opener); }

void CStaticLink::ApplyColour() {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour_);
    setPalette(p);
}

void CStaticLink::Open() {
    const QString target = target_.isEmpty() ? text() : target_;
    if (target.isEmpty()) return;
    const std::string path = target.toStdString();
    const bool opened = g_opener ? g_opener(path) : OpenDocument(path);
    if (!opened) {
        QApplication::beep();
        return;
    }
    colour_ = VisitedColour();
    ApplyColour();
    update();
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace tavrel
