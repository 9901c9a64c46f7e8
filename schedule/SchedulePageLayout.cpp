// The month page's controls: their names and the figures above the grid.

#include "SchedulePage.h"

#include "AmountField.h"
#include "GridView.h"
#include "HintButton.h"
#include "MonthController.h"
#include "PayeeDropDown.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "Skip.h"
#include "WorkTableModel.h"
#include "Twips.h"
#include "YearMonthEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace schedule {

void SchedulePage::nameControls()
{
    dat支払先名_->setObjectName(QStringLiteral("dat支払先名"));
    monthEdit_->setObjectName(QStringLiteral("Dt年月"));
    monthEdit_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    num繰越額_->setObjectName(QStringLiteral("num繰越額"));
    num繰越額_->setMessages(&context_.msg);
    num予定額月計_->setObjectName(QStringLiteral("num予定額月計"));
    num支払額月計_->setObjectName(QStringLiteral("num支払額月計"));
    num累計_->setObjectName(QStringLiteral("num累計"));
    // The three totals are computed: they look and behave read-only, while the carry-over
    // keeps the look of a field to type into.
    for (AmountField* field : {num予定額月計_, num支払額月計_, num累計_}) {
        field->setReadOnly(true);
        QPalette shown = field->palette();
        shown.setColor(QPalette::Base, shown.color(QPalette::Window));
        field->setPalette(shown);
    }
    for (AmountField* field : {num繰越額_, num予定額月計_, num支払額月計_, num累計_})
        field->setFixedWidth(twipsToPixels(1600));
    gridInp_->setObjectName(QStringLiteral("GridInp"));
    gridInp_->setMinimumSize(twipsToPixels(9375) / 2, twipsToPixels(5700) / 2);
    pbar_->setObjectName(QStringLiteral("Pbar"));
    pbar_->setRange(0, 100);
    pbar_->setVisible(false);
}

QGridLayout* SchedulePage::figuresLayout(QPushButton* monBef, QPushButton* monNext)
{
    auto* top = new QGridLayout;
    top->addWidget(monBef, 0, 0);
    top->addWidget(monNext, 0, 1);
    const auto labelled = [&](const char* label, QWidget* field, int row, int column) {
        top->addWidget(new QLabel(QString::fromUtf8(label), this), row, column);
        top->addWidget(field, row, column + 1);
    };
    labelled("年月", monthEdit_, 0, 2);
    labelled("繰越額", num繰越額_, 1, 2);
    labelled("予定額月計", num予定額月計_, 1, 4);
    labelled("支払額月計", num支払額月計_, 2, 2);
    labelled("予定額累計", num累計_, 2, 4);
    top->setColumnStretch(6, 1);
    return top;
}

void SchedulePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect grid = gridInp_->geometry();
    const int width = std::min(grid.width() - 40, twipsToPixels(6000));
    pbar_->setGeometry(grid.center().x() - width / 2, grid.center().y() - 12, width, 24);
    pbar_->raise();
}

void SchedulePage::setUpControls()
{
    store::Session& session = context_.session;
    gridInp_->setModel(controller_->model());
    store::skipOnFailure(QStringLiteral("bind dat支払先名"), [&] { dat支払先名_->bind(&session.workDb(), QStringLiteral("w支払先名")); });
    applyEra();
    store::skipOnFailure(QStringLiteral("GridInp columns"), [&] {
        for (int hidden : {kCol行番号, kCol元行番号, kCol日付})
            gridInp_->setupColumn(hidden, {.shown = false});
        gridInp_->setupColumn(kCol表示日付, {.heading = QStringLiteral("日付"), .alignment = Qt::AlignHCenter, .widthTwips = 600});
        // The payee column gives the weekday beside the day its room: the grid keeps its width.
        gridInp_->setupColumn(kCol支払先名, {.heading = QStringLiteral("支払先名"), .widthTwips = 4140.284 - kWeekdayTwips, .dropDown = new payees::PayeeDropDown(dat支払先名_, gridInp_)});
        gridInp_->setupColumn(kCol予定額, {.heading = QStringLiteral("予定額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1395.213});
        gridInp_->setupColumn(kCol支払額, {.heading = QStringLiteral("支払額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1365.165});
        gridInp_->setupColumn(kCol残高, {.heading = QStringLiteral("総　額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1319.811});
        // The balance is computed: Tab goes from 支払額 to the next line's day.
        gridInp_->setTabSkipped({kCol残高});
        for (int extra = kCol元日付; extra <= kCol元支払先名; ++extra)
            gridInp_->setupColumn(extra, {.shown = false});
        setUpWeekdayColumn();
    });
}

} // namespace schedule
