#include "RestoreList.h"

#include "BackupService.h"
#include "Msg.h"

#include <QBrush>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace backup {

RestoreList::RestoreList(BackupService& service, QWidget* parent)
    : QWidget(parent)
    , service_(service)
    , list_(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("RestoreList"));
    list_->setObjectName(QStringLiteral("lstBackup"));
    list_->setColumnCount(5);
    list_->setHeaderLabels({QStringLiteral("日時"), QStringLiteral("作成のきっかけ"), QStringLiteral("保存行数"), QStringLiteral("最新の月"), QStringLiteral("状態")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* restore = new QPushButton(QStringLiteral("復元"), this);
    restore->setObjectName(QStringLiteral("cmd復元"));
    connect(restore, &QPushButton::clicked, this, &RestoreList::onRestoreClicked);
    connect(list_, &QTreeWidget::itemActivated, this, &RestoreList::onRestoreClicked);
    connect(&inspector_, &BackupInspector::inspected, this, [this](const QString& path) {
        for (int row = 0; row < list_->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = list_->topLevelItem(row);
            if (item->data(0, Qt::UserRole).toString() == path)
                showCondition(item, inspector_.known(path));
        }
    });

    auto* caption = new QLabel(QStringLiteral("バックアップ（") + QDir::toNativeSeparators(service_.folder().path()) + QStringLiteral("）"), this);
    caption->setObjectName(QStringLiteral("lblBackup"));
    caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(restore);
    buttons->addStretch();
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addLayout(row, 1);
}

void RestoreList::showEvent(QShowEvent* event)
{
    refresh();
    QWidget::showEvent(event);
}

void RestoreList::refresh()
{
    const QString current = list_->currentItem() ? list_->currentItem()->data(0, Qt::UserRole).toString() : QString();
    list_->clear();
    QStringList paths;
    for (const BackupEntry& entry : service_.folder().list()) {
        auto* item = new QTreeWidgetItem(list_);
        item->setData(0, Qt::UserRole, entry.path);
        item->setText(0, entry.made.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
        item->setText(1, reasonLabel(entry.reason));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        showCondition(item, inspector_.known(entry.path));
        if (entry.path == current)
            list_->setCurrentItem(item);
        paths << entry.path;
    }
    inspector_.inspect(paths);
}

void RestoreList::showCondition(QTreeWidgetItem* item, const std::optional<BackupCondition>& condition)
{
    const std::optional<BookSummary> summary = condition ? condition->summary : std::nullopt;
    QString lines; // blank while unknown, a dash for a file that holds no book
    if (summary)
        lines = QLocale::c().toString(summary->storedLines);
    else if (condition)
        lines = QStringLiteral("－");
    item->setText(2, lines);
    item->setText(3, summary && summary->latestMonth.isValid() ? summary->latestMonth.toString(QStringLiteral("yyyy年MM月")) : QString());
    if (!condition) {
        item->setText(4, messages::messageText(messages::MsgId::復元_状態確認中));
        item->setForeground(4, QBrush(QColor(0x80, 0x80, 0x80)));
        return;
    }
    item->setText(4, conditionText(*condition));
    switch (condition->verdict()) {
    case BackupCondition::Verdict::Sound:
        item->setForeground(4, QBrush());
        break;
    case BackupCondition::Verdict::Unverified:
        item->setForeground(4, QBrush(QColor(0x99, 0x66, 0)));
        break;
    case BackupCondition::Verdict::Damaged:
        item->setForeground(4, QBrush(QColor(0xC0, 0, 0)));
        break;
    }
}

void RestoreList::onRestoreClicked()
{
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) {
        service_.msg().ShowMsg(messages::MsgId::行指定_指定なし, QString());
        return;
    }
    // What the inspector found is used while the backup is unchanged: the file is not read
    // on the window's thread a second time.
    const QString path = item->data(0, Qt::UserRole).toString();
    service_.restore(path, inspector_.known(path));
    refresh();
}

} // namespace backup
