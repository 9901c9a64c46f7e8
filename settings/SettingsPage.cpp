#include "SettingsPage.h"

#include "ColorChooser.h"
#include "CommandButtons.h"
#include "HintButton.h"
#include "HolidayShiftBox.h"
#include "PaymentRules.h"
#include "Msg.h"
#include "Session.h"
#include "SettingsRecord.h"
#include "Skip.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace settings {

namespace {

QPixmap bannerPixmap()
{
    QPixmap pixmap(468, 60);
    pixmap.fill(QColor(0x1f, 0x4e, 0x8c));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 16, QFont::Bold);
    painter.setFont(font);
    painter.drawText(pixmap.rect().adjusted(16, 0, -16, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TOVARK フリー掲示板"));
    return pixmap;
}

bool opensOrLeavesList(const QKeyEvent& key)
{
    const bool alt = key.modifiers().testFlag(Qt::AltModifier);
    switch (key.key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        return alt;
    case Qt::Key_F4:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

} // namespace

SettingsPage::SettingsPage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , pic罫線色_(new QFrame(this))
    , num白紙罫線色_(new QLineEdit(this))
    , chk支払先自動登録_(new QCheckBox(QStringLiteral("支払先の自動登録"), this))
    , cmb年号_(new QComboBox(this))
    , image2_(new QLabel(this))
    , holidayShift_(new HolidayShiftBox(this))
{
    nameControls();
    auto* allDeleteBox = makeAllDeleteBox();
    auto* lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    auto* lblSupport = new QLabel(this);
    lblSupport->setObjectName(QStringLiteral("lblSupport"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeSettingsRow());
    layout->addWidget(allDeleteBox);
    layout->addWidget(image2_, 0, Qt::AlignLeft);
    layout->addWidget(lblSupport);
    layout->addWidget(lblInfo);
    layout->addStretch();
    connect(&context_.session.changes(), &store::BookChanges::bookReplaced, this, &SettingsPage::readAndTell);
}

void SettingsPage::nameControls()
{
    pic罫線色_->setObjectName(QStringLiteral("Pic罫線色"));
    pic罫線色_->setToolTip(QStringLiteral("ここをダブルクリックして色を指定"));
    pic罫線色_->setFrameShape(QFrame::Box);
    pic罫線色_->setAutoFillBackground(true);
    pic罫線色_->setFixedSize(twipsToPixels(900), twipsToPixels(330));
    pic罫線色_->installEventFilter(this);
    pic罫線色_->setFocusPolicy(Qt::StrongFocus);
    num白紙罫線色_->setObjectName(QStringLiteral("num白紙罫線色"));
    num白紙罫線色_->setVisible(false);
    chk支払先自動登録_->setObjectName(QStringLiteral("Chk支払先自動登録"));
    cmb年号_->setObjectName(QStringLiteral("cmb年号"));
    cmb年号_->installEventFilter(this);
    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setPixmap(bannerPixmap());
    image2_->setCursor(Qt::PointingHandCursor);
    image2_->installEventFilter(this);
    image2_->setFocusPolicy(Qt::StrongFocus);
}

QHBoxLayout* SettingsPage::makeSettingsRow()
{
    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("印刷時の罫線の色"), this), 0, 0);
    form->addWidget(pic罫線色_, 0, 1, Qt::AlignLeft);
    form->addWidget(num白紙罫線色_, 0, 2);
    form->addWidget(chk支払先自動登録_, 1, 0, 1, 2);
    form->addWidget(new QLabel(QStringLiteral("年   号"), this), 2, 0);
    form->addWidget(cmb年号_, 2, 1, Qt::AlignLeft);
    form->addWidget(new QLabel(QStringLiteral("休業日の支払日"), this), 3, 0);
    form->addWidget(holidayShift_, 3, 1, Qt::AlignLeft);

    auto* buttons = new QVBoxLayout;
    const auto made = addCommandButtons(buttons, this,
        {{"cmd設定読込", "読込", PageCommand::Load}, {"cmd設定登録", "登録", PageCommand::Enter}, {"cmd設定クリア", "クリア", PageCommand::Clear},
            {"cmd設定削除", "削除", PageCommand::Remove}});
    buttons->addStretch();
    // Nothing thrown by an operation leaves a button's handler.
    connect(made[0], &QAction::triggered, this, [this] { store::skipOnFailure(QStringLiteral("cmd設定読込"), [this] { Read設定(); }); });
    connect(made[1], &QAction::triggered, this, [this] { store::skipOnFailure(QStringLiteral("cmd設定登録"), [this] { onEnterClicked(); }); });
    connect(made[2], &QAction::triggered, this, [this] { store::skipOnFailure(QStringLiteral("cmd設定クリア"), [this] { Clear設定(); }); });
    connect(made[3], &QAction::triggered, this, [this] { store::skipOnFailure(QStringLiteral("cmd設定削除"), [this] { Delete設定(); }); });
    auto* hint = makeHintButton(QStringLiteral("cmdHint2"), this);
    connect(makeCommand(hint, this, PageCommand::Hint), &QAction::triggered, this, [this] { emit hintRequested(QStringLiteral("cmdHint2")); });

    auto* settingsRow = new QHBoxLayout;
    settingsRow->addLayout(form);
    addSenderBox(settingsRow);
    settingsRow->addStretch();
    settingsRow->addWidget(hint, 0, Qt::AlignTop);
    settingsRow->addLayout(buttons);
    return settingsRow;
}

QGroupBox* SettingsPage::makeAllDeleteBox()
{
    auto* allDeleteBox = new QGroupBox(this);
    auto* allDeleteRow = new QHBoxLayout(allDeleteBox);
    allDeleteRow->addWidget(new QLabel(QStringLiteral("すべてのデータを削除し初期状態に戻す"), allDeleteBox));
    allDeleteRow->addStretch();
    auto* allDelete = new QPushButton(QStringLiteral("実行"), allDeleteBox);
    allDelete->setObjectName(QStringLiteral("cmd一括削除7"));
    allDeleteRow->addWidget(allDelete);
    connect(makeCommand(allDelete, this, PageCommand::DeleteAll), &QAction::triggered, this, &SettingsPage::allDeleteRequested);
    return allDeleteBox;
}

void SettingsPage::Read設定()
{
    const SettingsValues values = SettingsRecord(context_.session.mainDb()).read();
    auto& settings = context_.session.settings;
    showEra(values.年号);
    settings.g年号 = values.年号;
    chk支払先自動登録_->setChecked(values.支払先自動登録);
    settings.g支払先自動登録 = values.支払先自動登録;
    showColour(values.LineColor1);
    settings.gLineColor1 = values.LineColor1;
    holidayShift_->read(context_.session.mainDb());
    showSender();
}

void SettingsPage::setUpControls()
{
    cmb年号_->clear();
    showEra(context_.session.settings.g年号);
}

void SettingsPage::onEnterClicked()
{
    Entry設定();
    readAndTell();
}

void SettingsPage::readAndTell()
{
    const store::InMemorySettings before = context_.session.settings;
    Read設定();
    const store::InMemorySettings& after = context_.session.settings;
    if (after.g年号 != before.g年号 || after.g支払先自動登録 != before.g支払先自動登録 || after.gLineColor1 != before.gLineColor1)
        emit context_.session.changes().settingsChanged();
}

void SettingsPage::Entry設定()
{
    if (!context_.msg.ShowMsg(messages::MsgId::登録_確認, QStringLiteral("設定")))
        return;
    SettingsValues values;
    values.年号 = cmb年号_->currentText();
    values.支払先自動登録 = chk支払先自動登録_->isChecked();
    values.LineColor1 = num白紙罫線色_->text().toLongLong();
    SettingsRecord(context_.session.mainDb()).write(values);
    holidayShift_->write(context_.session.mainDb());
}

void SettingsPage::Clear設定()
{
    showEra(store::kEraWestern);
    num白紙罫線色_->setText(QStringLiteral("1"));
    showSwatch(0);
    chk支払先自動登録_->setChecked(false);
    holidayShift_->showShift(ledger::defaultShift());
}

void SettingsPage::Delete設定()
{
    if (!context_.msg.ShowMsg(messages::MsgId::削除_伝票確認2, QStringLiteral("設定")))
        return;
    if (!askBeforeDestructive(context_, DestructiveCommand::SettingsDelete))
        return;
    SettingsRecord(context_.session.mainDb()).reset();
    holidayShift_->reset(context_.session.mainDb());
    Clear設定();
}

void SettingsPage::showColour(qint64 value)
{
    num白紙罫線色_->setText(QString::number(value));
    showSwatch(value);
}

void SettingsPage::showSwatch(qint64 value)
{
    QPalette palette = pic罫線色_->palette();
    palette.setColor(QPalette::Window, colorFromLong(value));
    pic罫線色_->setPalette(palette);
}

void SettingsPage::showEra(const QString& era)
{
    const QString entries[] = {store::kEraWestern, store::kEraJapanese};
    while (cmb年号_->count() > 2)
        cmb年号_->removeItem(cmb年号_->count() - 1);
    if (cmb年号_->count() != 2 || cmb年号_->itemText(0) != entries[0] || cmb年号_->itemText(1) != entries[1]) {
        cmb年号_->clear();
        for (const QString& entry : entries)
            cmb年号_->addItem(entry);
    }
    int index = cmb年号_->findText(era, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        cmb年号_->addItem(era);
        index = cmb年号_->count() - 1;
    }
    cmb年号_->setCurrentIndex(index);
}

void SettingsPage::Pic罫線色_DblClick()
{
    const qint64 chosen = ShowColorDialog(window());
    if (chosen != -1)
        showColour(chosen);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == image2_ && event->type() == QEvent::MouseButtonRelease) {
        emit bannerClicked();
        return true;
    }
    if (watched == pic罫線色_ && event->type() == QEvent::MouseButtonDblClick) {
        Pic罫線色_DblClick();
        return true;
    }
    // From the keyboard, Space or Enter on the focused swatch or banner does what a
    // double-click or click does.
    if ((watched == pic罫線色_ || watched == image2_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == pic罫線色_)
                Pic罫線色_DblClick();
            else
                emit bannerClicked();
            return true;
        }
    }
    // A stray key never changes the era: on the closed list only the keys that open it
    // (Alt+Down, Alt+Up, F4) and the focus keys pass; in the open list the arrows move and
    // Enter chooses, as with the mouse.
    if (watched == cmb年号_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride))
        return !opensOrLeavesList(*static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

} // namespace settings
