#include "ui/settings/uptime_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/settings/settings_dialog_look.h"

namespace varnex {
namespace {

constexpr int kRefreshMs = 1000;

}  // namespace

UptimeDialog::UptimeDialog(QWidget* parent, DialogContext& context)
    : QDialog(parent), context_(context), ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("System Up Time"));
    setWindowIcon(SettingsDialogIcon(QStringLiteral("UP"), QColor(60, 60, 60)));

    auto* group = new QGroupBox(QStringLiteral("Up Time"), this);
    auto* rows = new QGridLayout(group);
    rows->setColumnStretch(1, 1);
    for (std::size_t row = 0; row < kUptimeRows; ++row) {
        values_[row] = new QLabel(QStringLiteral("0"), group);
        // Right-aligned, so the decimal points line up.
        values_[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[row]->setMinimumWidth(
            values_[row]->fontMetrics().horizontalAdvance(QStringLiteral(" 71582788.25")));
        const int line = static_cast<int>(row);
        rows->addWidget(new QLabel(QString::fromLatin1(kUptimeCaptions[row]), group), line, 0);
        rows->addWidget(values_[row], line, 1);
    }
    ok_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    Refresh();
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &UptimeDialog::Refresh);
    refresh_.start();
}

void UptimeDialog::Refresh() {
    const std::array<std::string, kUptimeRows> texts =
        UptimeTexts(context_.session.snapshot().uptime);
    for (std::size_t row = 0; row < kUptimeRows; ++row) {
        values_[row]->setText(QString::fromStdString(texts[row]));
    }
}

void UptimeDialog::done(int result) {
    refresh_.stop();
    QDialog::done(result);
}

void OpenUptimeDialog(QWidget* parent, DialogContext& context) {
    UptimeDialog dialog(parent, context);
    dialog.exec();
}

}  // namespace varnex
