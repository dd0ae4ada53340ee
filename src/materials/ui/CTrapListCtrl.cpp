#include "materials/ui/CTrapListCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace tavrel {

CTrapListCtrl::CTrapListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformRowHeights(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
}

void CTrapListCtrl::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    if ((mods == Qt::ControlModifier && (key == Qt::Key_C || key == Qt::Key_Insert))) {
        emit CopyPressed();
        return;
    }
    if ((mods == Qt::ControlModifier && key == Qt::Key_V) ||
        (mods == Qt::ShiftModifier && key == Qt::Key_Insert)) {
        emit PastePressed();
        return;
    }
    if (mods == Qt::NoModifier && key == Qt::Key_Delete) {
        emit DeletePressed();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

}  // namespace tavrel
