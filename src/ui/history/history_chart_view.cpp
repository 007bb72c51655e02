#include "ui/history/history_chart_view.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace varnex {

HistoryChartView::HistoryChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::HorizontalRubberBand);
    setRenderHint(QPainter::Antialiasing);
}

void HistoryChartView::wheelEvent(QWheelEvent* event) {
    constexpr qreal kStep = 1.25;
    const qreal factor = event->angleDelta().y() > 0 ? kStep : 1 / kStep;
    // Zooms about the pointer: the time under it stays where it is.
    const QRectF area = chart()->plotArea();
    const qreal x = std::clamp(event->position().x(), area.left(), area.right());
    chart()->zoomIn(
        QRectF(x - (x - area.left()) / factor, area.top(), area.width() / factor, area.height()));
    event->accept();
    emit viewChanged();
}

void HistoryChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        panning_ = true;
        lastPan_ = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void HistoryChartView::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        const QPointF delta = event->position() - lastPan_;
        lastPan_ = event->position();
        chart()->scroll(-delta.x(), 0);
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void HistoryChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_) {
        panning_ = false;
        unsetCursor();
        event->accept();
        emit viewChanged();
        return;
    }
    const bool rubberBand = event->button() == Qt::LeftButton;
    QChartView::mouseReleaseEvent(event);
    if (rubberBand) {
        emit viewChanged();
    }
}

}  // namespace varnex
