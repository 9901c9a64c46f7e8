// The main window's first reads: the settings, the sheet a run left unregistered, the
// notice of bank details without a payee, the fixed texts; and its first size.

#include "MainWindow.h"

#include "AccountStore.h"
#include "Msg.h"
#include "PayeePage.h"
#include "SchedulePage.h"
#include "SettingsPage.h"
#include "Skip.h"
#include "Version.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QUrl>

namespace {
const char* const kMakerPage = "https://tovark.example.jp/";
const char* const kSignature = "  TOVARK";
} // namespace

void MainWindow::fitGridsOnScreen()
{
    // The grids' columns keep their set widths: the grids never start narrower than their
    // visible columns, and the window grows to show them without a horizontal scroll bar.
    // The cash-flow page gives its table the room there is itself.
    for (auto* grid : findChildren<QTableView*>()) {
        if (!grid->model() || grid->objectName() == QStringLiteral("Grid資金繰り"))
            continue;
        const int width = grid->horizontalHeader()->length() + grid->verticalHeader()->sizeHint().width()
            + grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth() + 2;
        grid->setMinimumWidth(width);
    }
    resize(std::max(width(), minimumSizeHint().width()), std::max(height(), minimumSizeHint().height()));
}

QString MainWindow::titleText()
{
    return QStringLiteral("支払予定表 Ver ") + QStringLiteral(QUOREL_VERSION_TEXT);
}

QString MainWindow::infoText()
{
    return titleText() + QStringLiteral(" LastUpdate") + QStringLiteral(QUOREL_LAST_UPDATE) + QString::fromUtf8(kSignature) + QStringLiteral("\r\n");
}

void MainWindow::runStartupReads()
{
    settingsPage_->Read設定();
    setUpControls();
    // A sheet that a run which ended unregistered left in the work file comes back.
    const bool restored = schedulePage_->restoreUnsavedSheet();
    if (!restored)
        schedulePage_->Clear支払予定表();
    payeePage_->Clear支払先マスタ();
    if (!restored)
        schedulePage_->Read支払予定();
    if (session_->mainUpgraded())
        reportUnlistedAccounts();
}

void MainWindow::reportUnlistedAccounts()
{
    // An earlier version kept a payee's bank details when the payee was deleted. They are
    // never used for a transfer; the user is told once, when the book is first opened by
    // this version.
    QStringList names;
    store::skipOnFailure(QStringLiteral("bank details without a payee"), [&] { names = banking::AccountStore(session_->mainDb()).unlistedPayees(); });
    if (names.isEmpty())
        return;
    QStringList shown = names.mid(0, 20);
    if (names.size() > shown.size())
        shown << QStringLiteral("ほか %1 件").arg(names.size() - shown.size());
    context_.msg.ShowMsg(messages::MsgId::その他_孤立口座, shown.join(QLatin1Char('\n')));
}

void MainWindow::setUpControls()
{
    store::skipOnFailure(QStringLiteral("lblInfo"), [&] { findChild<QLabel*>(QStringLiteral("lblInfo"))->setText(infoText()); });
    store::skipOnFailure(QStringLiteral("lblSupport"), [&] {
        findChild<QLabel*>(QStringLiteral("lblSupport"))->setText(QStringLiteral("質問は下のバナーをクリックしてTOVARKフリー掲示板へ"));
    });
    schedulePage_->setUpControls();
    payeePage_->setUpControls();
    settingsPage_->setUpControls();
}

bool MainWindow::openWithDesktop(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

void MainWindow::openMakerPage()
{
    const QUrl address(QString::fromUtf8(kMakerPage));
    if (!openInBrowser || !openInBrowser(address))
        msg_.ShowMsg(messages::MsgId::その他_ブラウザなし, address.toString());
}
