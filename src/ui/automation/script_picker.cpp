#include "ui/automation/script_picker.h"

#include <QEvent>
#include <QListWidget>

namespace varnex {

QString FromWireText(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::string ToWireText(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

ScriptPicker::ScriptPicker(const ScriptTable& table, QWidget* parent)
    : QObject(parent),
      table_(table),
      names_(new QListWidget(parent)),
      steps_(new QListWidget(parent)) {
    for (QListWidget* list : {names_, steps_}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSortingEnabled(false);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    names_->setObjectName("scriptNames");
    steps_->setObjectName("scriptSteps");
    // Clicks land on the viewport, not on the list itself.
    names_->viewport()->installEventFilter(this);
}

void ScriptPicker::FillNames() {
    names_->clear();
    for (const ScriptSlot& slot : table_) {
        auto* item = new QListWidgetItem(FromWireText(slot.name));
        if (nameRowHeight_ > 0) {
            item->setSizeHint(QSize(0, nameRowHeight_));
        }
        names_->addItem(item);
    }
    names_->setCurrentRow(-1);
    names_->clearSelection();
}

int ScriptPicker::FitNameRows() {
    nameRowHeight_ = names_->fontMetrics().height() + 6;
    names_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    names_->setFixedHeight(nameRowHeight_ * int(table_.size()) + 2 * names_->frameWidth());
    return nameRowHeight_;
}

void ScriptPicker::ShowSlot(int row) {
    steps_->clear();
    if (row < 0 || row >= int(table_.size())) {
        return;
    }
    for (const std::string& step : DecodeScriptSteps(table_[std::size_t(row)].codes)) {
        steps_->addItem(FromWireText(step));
    }
}

void ScriptPicker::SelectSlot(int row) {
    names_->setCurrentRow(row);
    ShowSlot(row);
}

void ScriptPicker::ClearSteps() {
    steps_->clear();
}

std::optional<int> ScriptPicker::SelectedRow() const {
    const QList<QListWidgetItem*> selected = names_->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return names_->row(selected.front());
}

std::vector<std::string> ScriptPicker::StepTexts() const {
    std::vector<std::string> texts;
    for (int k = 0; k < steps_->count(); ++k) {
        texts.push_back(ToWireText(steps_->item(k)->text()));
    }
    return texts;
}

bool ScriptPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == names_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        Choose();
    }
    return false;  // the list still handles the click as usual
}

void ScriptPicker::Choose() {
    const std::optional<int> row = SelectedRow();
    ShowSlot(row.value_or(-1));
    Q_EMIT Chosen(row);
}

}  // namespace varnex
