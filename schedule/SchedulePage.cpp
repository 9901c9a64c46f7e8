#include "SchedulePage.h"

#include "AmountField.h"
#include "Balances.h"
#include "Calendar.h"
#include "CommandButtons.h"
#include "GridView.h"
#include "HintButton.h"
#include "MonthSheet.h"
#include "PayeeDropDown.h"
#include "PayeeList.h"
#include "Session.h"
#include "Skip.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace schedule {

SchedulePage::SchedulePage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , datInp_(new store::WorkTableModel(this))
    , dat支払先名_(new store::WorkTableModel(this))
    , dt年月_(new YearMonthEdit(this))
    , num繰越額_(new AmountField(this))
    , num予定額月計_(new AmountField(this))
    , num支払額月計_(new AmountField(this))
    , num累計_(new AmountField(this))
    , gridInp_(new GridView(this))
    , pbar_(new QProgressBar(this))
{
    datInp_->setObjectName(QStringLiteral("datInp"));
    dat支払先名_->setObjectName(QStringLiteral("dat支払先名"));
    dt年月_->setObjectName(QStringLiteral("Dt年月"));
    dt年月_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    num繰越額_->setObjectName(QStringLiteral("num繰越額"));
    num予定額月計_->setObjectName(QStringLiteral("num予定額月計"));
    num支払額月計_->setObjectName(QStringLiteral("num支払額月計"));
    num累計_->setObjectName(QStringLiteral("num累計"));
    for (AmountField* field : {num予定額月計_, num支払額月計_, num累計_})
        field->setReadOnly(true);
    for (AmountField* field : {num繰越額_, num予定額月計_, num支払額月計_, num累計_})
        field->setFixedWidth(twipsToPixels(1600));
    gridInp_->setObjectName(QStringLiteral("GridInp"));
    gridInp_->setMinimumSize(twipsToPixels(9375) / 2, twipsToPixels(5700) / 2);
    pbar_->setObjectName(QStringLiteral("Pbar"));
    pbar_->setRange(0, 100);
    pbar_->setVisible(false);

    auto* monBef = new QPushButton(this);
    monBef->setObjectName(QStringLiteral("cmdMonBef"));
    monBef->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    monBef->setToolTip(QStringLiteral("前月"));
    auto* monNext = new QPushButton(this);
    monNext->setObjectName(QStringLiteral("cmdMonNext"));
    monNext->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    monNext->setToolTip(QStringLiteral("翌月"));
    for (QPushButton* step : {monBef, monNext})
        step->setFixedWidth(twipsToPixels(400));
    setCommandShortcut(monBef, QKeySequence(Qt::ALT | Qt::Key_Left));
    setCommandShortcut(monNext, QKeySequence(Qt::ALT | Qt::Key_Right));

    auto* top = new QGridLayout;
    top->addWidget(monBef, 0, 0);
    top->addWidget(monNext, 0, 1);
    top->addWidget(new QLabel(QStringLiteral("年月"), this), 0, 2);
    top->addWidget(dt年月_, 0, 3);
    top->addWidget(new QLabel(QStringLiteral("繰越額"), this), 1, 2);
    top->addWidget(num繰越額_, 1, 3);
    top->addWidget(new QLabel(QStringLiteral("予定額月計"), this), 1, 4);
    top->addWidget(num予定額月計_, 1, 5);
    top->addWidget(new QLabel(QStringLiteral("支払額月計"), this), 2, 2);
    top->addWidget(num支払額月計_, 2, 3);
    top->addWidget(new QLabel(QStringLiteral("予定額累計"), this), 2, 4);
    top->addWidget(num累計_, 2, 5);
    top->setColumnStretch(6, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(gridInp_, 1);

    auto* buttons = new QVBoxLayout;
    addCommandButtons(buttons, this,
        {{"cmd履歴閉じる", "閉じる"}, {"cmd読込", "読込", QKeySequence(Qt::Key_F5)}, {"cmd登録", "登録", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {"Cmd印刷", "印刷", QKeySequence(Qt::CTRL | Qt::Key_P)}, {"cmd行削除", "行削除", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
            {"cmd行挿入", "行挿入", QKeySequence(Qt::CTRL | Qt::Key_Insert)}, {"cmd履歴クリア", "クリア"}});
    auto* hint = makeHintButton(QStringLiteral("cmdHint"), this);
    buttons->addWidget(hint);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(findChild<QPushButton*>(QStringLiteral("cmd履歴閉じる")), &QPushButton::clicked, this, &SchedulePage::closeRequested);
    connect(findChild<QPushButton*>(QStringLiteral("Cmd印刷")), &QPushButton::clicked, this, &SchedulePage::printRequested);
    connect(findChild<QPushButton*>(QStringLiteral("cmd履歴クリア")), &QPushButton::clicked, this, &SchedulePage::Clear支払予定表);
    connect(findChild<QPushButton*>(QStringLiteral("cmd読込")), &QPushButton::clicked, this, &SchedulePage::Read支払予定);
    connect(monBef, &QPushButton::clicked, this, [this] { stepMonth(-1); });
    connect(monNext, &QPushButton::clicked, this, [this] { stepMonth(1); });
    connect(dt年月_, &YearMonthEdit::monthEntered, this, &SchedulePage::Read支払予定);

    // The keyboard walks the page as the eye does: month steps, the year-month, the
    // carry-over, the grid, then the command buttons. The figures that are only shown
    // are left out of the walk; a click still selects them for copying.
    for (AmountField* shown : {num予定額月計_, num支払額月計_, num累計_})
        shown->setFocusPolicy(Qt::ClickFocus);
    QWidget* previous = monBef;
    for (QWidget* next : std::initializer_list<QWidget*>{monNext, dt年月_, num繰越額_, gridInp_}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (const char* name : {"cmd履歴閉じる", "cmd読込", "cmd登録", "Cmd印刷", "cmd行削除", "cmd行挿入", "cmd履歴クリア"}) {
        QWidget* next = findChild<QPushButton*>(QString::fromUtf8(name));
        setTabOrder(previous, next);
        previous = next;
    }
    setTabOrder(previous, hint);
    connect(hint, &QPushButton::clicked, this, [this] { emit hintRequested(QStringLiteral("cmdHint")); });
    connect(findChild<QPushButton*>(QStringLiteral("cmd登録")), &QPushButton::clicked, this, &SchedulePage::cmd登録_Click);
    connect(findChild<QPushButton*>(QStringLiteral("cmd行挿入")), &QPushButton::clicked, this, &SchedulePage::InsertLine);
    connect(findChild<QPushButton*>(QStringLiteral("cmd行削除")), &QPushButton::clicked, this, &SchedulePage::cmd行削除_Click);
    connectGrid();
}

void SchedulePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect grid = gridInp_->geometry();
    const int width = std::min(grid.width() - 40, twipsToPixels(6000));
    pbar_->setGeometry(grid.center().x() - width / 2, grid.center().y() - 12, width, 24);
    pbar_->raise();
}

void SchedulePage::FormInit()
{
    store::Session& session = context_.session;
    store::skipOnFailure(QStringLiteral("bind datInp"), [&] {
        datInp_->bind(&session.workDb(), QStringLiteral("InpWork"));
        gridInp_->setWorkModel(datInp_);
    });
    store::skipOnFailure(QStringLiteral("bind dat支払先名"), [&] { dat支払先名_->bind(&session.workDb(), QStringLiteral("w支払先名")); });
    const bool western = session.settings.g年号 == QStringLiteral("西暦");
    dt年月_->setEraPattern(!western);
    dt年月_->setFixedWidth(twipsToPixels(western ? 1560 : 1860));
    store::skipOnFailure(QStringLiteral("GridInp columns"), [&] {
        gridInp_->setupColumn(0, {.shown = false});
        gridInp_->setupColumn(1, {.shown = false});
        gridInp_->setupColumn(2, {.heading = QStringLiteral("日付"), .alignment = Qt::AlignHCenter, .widthTwips = 600});
        gridInp_->setupColumn(3, {.shown = false});
        gridInp_->setupColumn(4, {.heading = QStringLiteral("支払先名"), .widthTwips = 4140.284, .dropDown = new PayeeDropDown(dat支払先名_, gridInp_)});
        gridInp_->setupColumn(5, {.heading = QStringLiteral("予定額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1395.213});
        gridInp_->setupColumn(6, {.heading = QStringLiteral("支払額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1365.165});
        gridInp_->setupColumn(7, {.heading = QStringLiteral("総　額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1319.811});
        for (int extra = 8; extra < datInp_->columnCount(); ++extra)
            gridInp_->setupColumn(extra, {.shown = false});
    });
}

void SchedulePage::Clear支払予定表()
{
    if (!filesOpen())
        return;
    for (AmountField* field : {num繰越額_, num支払額月計_, num予定額月計_, num累計_})
        field->clearValue();
    dt年月_->setFromText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    store::skipOnFailure(QStringLiteral("ClearInpWork"), [&] { ClearInpWork(context_.session.workDb()); });
    payees::AddComb支払先名(context_.session, dat支払先名_);
    refreshSheet();
}

MonthHeader SchedulePage::monthHeader() const
{
    return {dt年月_->date(), num繰越額_->amount(), num予定額月計_->amount(), num支払額月計_->amount(), num累計_->amount()};
}

void SchedulePage::Read支払予定()
{
    if (dt年月_->number().isNull() || !filesOpen())
        return;
    pbar_->setVisible(true);
    pbar_->setValue(10);
    store::Session& session = context_.session;
    QDate first;
    QDate last;
    QString firstText;
    QString lastText;
    if (GetMonthRange(dt年月_->date(), firstText, lastText)) {
        first = fromSlashText(firstText);
        last = fromSlashText(lastText);
    }
    loadMonthSheet(session, first, last, [this] { pbar_->setValue(30); });
    refreshSheet();
    pbar_->setValue(90);
    Calc支払予定額();
    Calc支払額();
    if (first.isValid())
        store::skipOnFailure(QStringLiteral("Get繰越額"), [&] { num繰越額_->setAmount(Get繰越額(session.mainDb(), first)); });
    showCumulative();
    pbar_->setValue(100);
    pbar_->setVisible(false);
}

void SchedulePage::showCumulative()
{
    store::skipOnFailure(QStringLiteral("Get累計額"), [&] { num累計_->setAmount(Get累計額(context_.session.mainDb())); });
}

bool SchedulePage::filesOpen() const
{
    // After the window has closed the files, a late notification must not reach them.
    return context_.session.isOpen();
}

void SchedulePage::stepMonth(int count)
{
    if (dt年月_->number().isNull())
        return;
    const QDate moved = fromSlashText(AddDate(dt年月_->date(), QStringLiteral("m"), count));
    if (moved.isValid())
        dt年月_->setFromText(moved.toString(QStringLiteral("yyyyMMdd")));
    Read支払予定();
}

void SchedulePage::refreshSheet()
{
    const QModelIndex current = gridInp_->currentIndex();
    if (!store::skipOnFailure(QStringLiteral("refresh datInp"), [&] { datInp_->refresh(); }))
        return;
    if (current.isValid() && current.row() < datInp_->rowCount())
        gridInp_->setCurrentCell(current.row(), current.column());
}

void SchedulePage::Calc支払予定額()
{
    if (!filesOpen())
        return;
    if (!store::skipOnFailure(QStringLiteral("Calc支払予定額"), [&] { num予定額月計_->setAmount(予定額月計(context_.session.workDb())); }))
        num予定額月計_->clearValue();
}

void SchedulePage::Calc支払額()
{
    if (!filesOpen())
        return;
    if (!store::skipOnFailure(QStringLiteral("Calc支払額"), [&] { num支払額月計_->setAmount(支払額月計(context_.session.workDb())); }))
        num支払額月計_->clearValue();
}

void SchedulePage::Calc行残高()
{
    if (!filesOpen())
        return;
    schedule::Calc行残高(*datInp_, gridInp_->currentRowIndex(), num繰越額_->amountOrZero());
}

void SchedulePage::ReCalc残高()
{
    if (!filesOpen())
        return;
    store::skipOnFailure(QStringLiteral("ReCalc残高 commit"), [&] { datInp_->commit(); });
    store::skipOnFailure(QStringLiteral("ReCalc残高"), [&] { schedule::ReCalc残高(context_.session.workDb(), num繰越額_->amountOrZero()); });
    refreshSheet();
}

void SchedulePage::Calc残高(const QDate& start)
{
    if (!filesOpen())
        return;
    store::skipOnFailure(QStringLiteral("Calc残高"), [&] { schedule::Calc残高(context_.session.mainDb(), start, num繰越額_->amountOrZero()); });
}

void SchedulePage::Calc残高for削除(const QDate& date, std::optional<qint64> lineNumber)
{
    if (!filesOpen())
        return;
    store::skipOnFailure(QStringLiteral("Calc残高for削除"), [&] { schedule::Calc残高for削除(context_.session.mainDb(), date, lineNumber); });
}

} // namespace schedule
