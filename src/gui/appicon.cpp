#include "gui/appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ambrel::gui {

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        // An amber picture frame holding a small landscape.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE8, 0x9A, 0x1C));
        p.drawRoundedRect(QRectF(0, s * 0.1, s, s * 0.8), s * 0.12, s * 0.12);
        p.setBrush(QColor(0xFF, 0xF4, 0xDC));
        const QRectF inner(s * 0.12, s * 0.22, s * 0.76, s * 0.56);
        p.drawRect(inner);
        p.setBrush(QColor(0x3F, 0x8F, 0x4F));
        QPainterPath hills;
        hills.moveTo(inner.bottomLeft());
        hills.lineTo(inner.left() + inner.width() * 0.35, inner.top() + inner.height() * 0.45);
        hills.lineTo(inner.left() + inner.width() * 0.6, inner.top() + inner.height() * 0.75);
        hills.lineTo(inner.left() + inner.width() * 0.8, inner.top() + inner.height() * 0.55);
        hills.lineTo(inner.bottomRight());
        hills.closeSubpath();
        p.drawPath(hills);
        p.setBrush(QColor(0xD9, 0x53, 0x1E));
        p.drawEllipse(
            QPointF(inner.left() + inner.width() * 0.75, inner.top() + inner.height() * 0.28),
            s * 0.07, s * 0.07);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace ambrel::gui
