#pragma once

#include "BackupInspector.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace backup {

class BackupService;

// The place on the settings and information page that lists the backups (made when,
// what made it, stored lines, latest month, and what a restore would find in it: 正常,
// 未検証 or 破損), newest first, with the button 復元. What each backup holds is read on
// the inspector's thread; a row shows 確認中 until then.
class RestoreList : public QWidget {
    Q_OBJECT
public:
    RestoreList(BackupService& service, QWidget* parent = nullptr);
    // Reads the backup folder again.
    void refresh();
    // Restores the chosen backup through the service.
    void onRestoreClicked();
    // Whether backups of the list are still being inspected.
    bool inspecting() const { return inspector_.busy(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows what was found in the backup of an item, or that it is still being looked at.
    void showCondition(QTreeWidgetItem* item, const std::optional<BackupCondition>& condition);

    BackupService& service_;
    QTreeWidget* list_;
    BackupInspector inspector_;
};

} // namespace backup
