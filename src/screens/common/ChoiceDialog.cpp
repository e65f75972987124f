#include "ChoiceDialog.h"

#include <QDialog>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::screens {

std::optional<int> showChoiceDialog(QWidget* parent, const ChoiceRequest& request) {
    if (request.rows.empty())
        return std::nullopt;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ChoiceDialog"));
    dialog.setWindowTitle(request.title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* prompt = new QLabel(request.prompt, &dialog);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    auto* list = new QTreeWidget(&dialog);
    list->setObjectName(QStringLiteral("lstChoices"));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(request.columns);
    for (const QStringList& row : request.rows)
        list->addTopLevelItem(new QTreeWidgetItem(row));
    const int current = std::clamp(request.current, 0, static_cast<int>(request.rows.size()) - 1);
    list->setCurrentItem(list->topLevelItem(current));
    for (int c = 0; c < list->columnCount(); ++c) {
        list->resizeColumnToContents(c);
        list->setColumnWidth(c, list->columnWidth(c) + 16);  // room between the columns
    }
    layout->addWidget(list);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* accept = buttons->addButton(request.acceptText, QDialogButtonBox::AcceptRole);
    accept->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);

    int width = 40;
    for (int c = 0; c < list->columnCount(); ++c)
        width += list->columnWidth(c);
    dialog.resize(std::max(width, 420), 320);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return std::nullopt;
    return list->indexOfTopLevelItem(list->currentItem());
}

}  // namespace velmora::screens
