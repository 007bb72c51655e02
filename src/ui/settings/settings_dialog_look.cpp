#include "ui/settings/settings_dialog_look.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "ui/widgets/widget_parts.h"

namespace varnex {
namespace {

constexpr int kHeadingPixels = 12;
constexpr int kIconPixels = 32;

}  // namespace

QFont HeadingFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kHeadingPixels);
    font.setBold(true);
    return font;
}

QLabel* HeadingLabel(const QString& text, QWidget* parent) {
    QLabel* label = ColouredLabel(text, QColor(0, 0, 255), parent);
    label->setFont(HeadingFont());
    return label;
}

QLabel* NoteLabel(const QString& text, QWidget* parent) {
    QLabel* label = ColouredLabel(text, QColor(255, 0, 0), parent);
    label->setWordWrap(true);
    return label;
}

QIcon SettingsDialogIcon(const QString& mark, const QColor& colour) {
    QPixmap pixmap(kIconPixels, kIconPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(1, 1, kIconPixels - 2, kIconPixels - 2), 6, 6);
    QFont font = HeadingFont();
    font.setPixelSize(mark.size() > 2 ? 10 : 16);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, mark);
    painter.end();
    return QIcon(pixmap);
}

}  // namespace varnex
