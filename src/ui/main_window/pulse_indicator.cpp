#include "ui/main_window/pulse_indicator.h"

#include <QEvent>
#include <QPainter>

namespace varnex {
namespace {

// More colours than the pulse has means someone else recolours the
// indicator; the faces are then dropped rather than kept without bound.
constexpr std::size_t kMostFaces = 32;

}  // namespace

PulseIndicator::PulseIndicator(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    // Each face covers the whole rectangle, so nothing beneath it needs
    // painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(caption);
}

void PulseIndicator::SetColour(const QColor& colour) {
    if (colour != colour_) {
        colour_ = colour;
        repaint();
    }
}

QSize PulseIndicator::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, caption_);
}

void PulseIndicator::paintEvent(QPaintEvent* /*event*/) {
    QPainter(this).drawPixmap(0, 0, Face(colour_));
}

const QPixmap& PulseIndicator::Face(const QColor& colour) {
    const QRgb key = colour.rgba();
    if (const auto found = faces_.find(key); found != faces_.end()) {
        return found->second;
    }
    if (faces_.size() >= kMostFaces) {
        faces_.clear();
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap face(size() * ratio);
    face.setDevicePixelRatio(ratio);
    face.fill(palette().color(QPalette::Window));
    QPainter painter(&face);
    painter.setFont(font());
    painter.setPen(colour);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    return faces_.emplace(key, std::move(face)).first->second;
}

void PulseIndicator::resizeEvent(QResizeEvent* event) {
    faces_.clear();
    QWidget::resizeEvent(event);
}

void PulseIndicator::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        faces_.clear();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

}  // namespace varnex
