#include "ui/main_window/return_message_dialog.h"

#include <QApplication>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/widgets/widget_parts.h"

namespace varnex {

ReturnMessageDialog::ReturnMessageDialog(const QString& text, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(text, this)) {
    static quint64 opened = 0;
    serial_ = ++opened;
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setWindowTitle(QStringLiteral("VNXv1 RETURN MESSAGE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ReturnMessageDialog"));
    label_->setObjectName(QStringLiteral("IDC_STC"));
    label_->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"), 28);
    font.setStyleHint(QFont::SansSerif);
    label_->setFont(font);
    SetColour(label_, QPalette::WindowText, QColor(255, 0, 0));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    setMinimumSize(400, 80);

    lifetime_.setSingleShot(true);
    lifetime_.setInterval(kLifetimeMs);
    connect(&lifetime_, &QTimer::timeout, this, [this] {
        expired_ = true;
        close();
    });
    lifetime_.start();
}

void ReturnMessageDialog::restart(const QString& text) {
    label_->setText(text);
    lifetime_.start();
}

// Escape and every close request end here; only the second passing lets them through.
void ReturnMessageDialog::reject() {
    if (expired_) {
        QDialog::reject();
    }
}

ReturnMessageDialog* ShowReturnMessage(QWidget* mainWindow, const QString& text) {
    QList<ReturnMessageDialog*> open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* popup = qobject_cast<ReturnMessageDialog*>(window);
        if (popup != nullptr && popup->isVisible()) {
            open.append(popup);
        }
    }
    if (open.size() >= kMaxOpenReturnMessages) {
        ReturnMessageDialog* newest = *std::max_element(
            open.begin(), open.end(),
            [](const auto* a, const auto* b) { return a->serial() < b->serial(); });
        newest->restart(text);
        return newest;
    }
    QWidget* modal = QApplication::activeModalWidget();
    auto* popup = new ReturnMessageDialog(text, modal != nullptr ? modal : mainWindow);
    popup->show();
    return popup;
}

}  // namespace varnex
