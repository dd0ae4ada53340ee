#include "ui/AppIcons.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
static void RegisterIconResources() { Q_INIT_RESOURCE(icons); }

namespace tavrel {

// The icons live in a static library; its resources must be registered by hand, outside any
// namespace, before the first lookup.

namespace {

QString IconPath(int iconId) {
    static const bool registered = (RegisterIconResources(), true);
    (void)registered;
    return QStringLiteral(":/icons/%1.svg").arg(iconId);
}

}  // namespace

bool HasIcon(int iconId) { return QFile::exists(IconPath(iconId)); }

QPixmap IconPixmap(int iconId, int size, bool disabled) {
    QSvgRenderer renderer(IconPath(iconId));
    if (!renderer.isValid() || size <= 0) return QPixmap();
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (disabled) {
        QStyleOption option;
        return QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
    }
    return pixmap;
}

QIcon AppIcon(int iconId) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(IconPixmap(iconId, size));
    return icon;
}

}  // namespace tavrel
