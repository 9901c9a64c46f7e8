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
    list_->setHeaderLabels({QStringLiteral("日時"), QStringLiteral("作成のきっかけ"), QStringLiteral("保存行数"), QStringLiteral("最新の月"), QStringLiteral("残高")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* restore = new QPushButton(QStringLiteral("復元"), this);
    restore->setObjectName(QStringLiteral("cmd復元"));
    connect(restore, &QPushButton::clicked, this, &RestoreList::onRestoreClicked);
    connect(list_, &QTreeWidget::itemActivated, this, &RestoreList::onRestoreClicked);
    // The chosen backup's balances are checked against its amounts as it is chosen.
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { showChain(item); });

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
    for (const BackupEntry& entry : service_.folder().list()) {
        if (!summaries_.contains(entry.path))
            summaries_.insert(entry.path, summarizeBookFile(entry.path));
        const std::optional<BookSummary>& summary = summaries_[entry.path];
        auto* item = new QTreeWidgetItem(list_);
        item->setData(0, Qt::UserRole, entry.path);
        item->setText(0, entry.made.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
        item->setText(1, reasonLabel(entry.reason));
        item->setText(2, summary ? QLocale::c().toString(summary->storedLines) : QStringLiteral("－"));
        item->setText(3, summary && summary->latestMonth.isValid() ? summary->latestMonth.toString(QStringLiteral("yyyy年MM月")) : QString());
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (const auto checked = chains_.find(entry.path); checked != chains_.end())
            markChain(item, *checked);
        if (entry.path == current)
            list_->setCurrentItem(item);
    }
}

void RestoreList::showChain(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString path = item->data(0, Qt::UserRole).toString();
    if (!chains_.contains(path))
        chains_.insert(path, chainBreakOf(path));
    markChain(item, chains_.value(path));
}

void RestoreList::markChain(QTreeWidgetItem* item, const std::optional<ledger::ChainBreak>& broken)
{
    item->setText(4, broken ? QStringLiteral("不整合（%1）").arg(describeBreak(*broken)) : QStringLiteral("正常"));
    item->setForeground(4, broken ? QBrush(QColor(0xC0, 0, 0)) : QBrush());
}

void RestoreList::onRestoreClicked()
{
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) {
        service_.msg().ShowMsg(messages::MsgId::行指定_指定なし, QString());
        return;
    }
    service_.restore(item->data(0, Qt::UserRole).toString());
    refresh();
}

} // namespace backup
