#include "KeyListDialog.h"

#include "MainActions.h"
#include "Msg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString screenWord(messages::LabelId id)
{
    return messages::label(id).text;
}

using L = messages::LabelId;

} // namespace

KeyListDialog::KeyListDialog(const QMenuBar& menuBar, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("KeyList"));
    setWindowTitle(screenWord(L::画面_キー操作一覧));
    auto* table = new QTableWidget(0, 3, this);
    table->setObjectName(QStringLiteral("tblKeys"));
    table->setHorizontalHeaderLabels({screenWord(L::画面_メニュー), screenWord(L::画面_コマンド), screenWord(L::画面_キー)});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    for (const QAction* menuAction : menuBar.actions()) {
        const QMenu* menu = menuAction->menu();
        if (!menu)
            continue;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            QStringList keys;
            for (const QKeySequence& sequence : action->shortcuts())
                keys << sequence.toString(QKeySequence::NativeText);
            const int row = table->rowCount();
            table->insertRow(row);
            table->setItem(row, 0, new QTableWidgetItem(MainActions::plainText(*menuAction)));
            table->setItem(row, 1, new QTableWidgetItem(MainActions::plainText(*action)));
            table->setItem(row, 2, new QTableWidgetItem(keys.join(QStringLiteral(" / "))));
            table->item(row, 1)->setToolTip(action->statusTip());
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(buttons);
    const int width = table->horizontalHeader()->length() + 2 * table->frameWidth() + 40;
    resize(std::max(width, 420), 560);
}
