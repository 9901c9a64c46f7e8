#pragma once

#include "BookFile.h"

#include <QMap>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace backup {

class BackupService;

// The place on the settings and information page that lists the backups (made when,
// what made it, stored lines, latest month, and, once chosen, whether its balances follow
// from its amounts), newest first, with the button 復元.
class RestoreList : public QWidget {
    Q_OBJECT
public:
    RestoreList(BackupService& service, QWidget* parent = nullptr);
    // Reads the backup folder again.
    void refresh();
    // Restores the chosen backup through the service.
    void onRestoreClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Checks the balances of the backup of an item (once) and shows the outcome.
    void showChain(QTreeWidgetItem* item);
    void markChain(QTreeWidgetItem* item, const std::optional<ledger::ChainBreak>& broken);

    BackupService& service_;
    QTreeWidget* list_;
    // Backups never change once made: what each holds is read once.
    QMap<QString, std::optional<BookSummary>> summaries_;
    QMap<QString, std::optional<ledger::ChainBreak>> chains_;
};

} // namespace backup
