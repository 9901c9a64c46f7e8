#include "PayeePage.h"

#include "GridView.h"
#include "HintButton.h"
#include "Session.h"
#include "Skip.h"
#include "WorkTableModel.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace payees {

PayeePage::PayeePage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , dat支払先マスタ_(new store::WorkTableModel(this))
    , grid_(new GridView(this))
{
    dat支払先マスタ_->setObjectName(QStringLiteral("dat支払先マスタ"));
    grid_->setObjectName(QStringLiteral("Grid支払先マスタ"));
    grid_->setMinimumSize(twipsToPixels(6435), twipsToPixels(5700) / 2);

    auto* buttons = new QVBoxLayout;
    const std::pair<const char*, const char*> captions[] = {
        {"cmd支払先読込", "読込"}, {"cmd支払先登録", "登録"}, {"cmd支払先行削除", "行削除"}, {"cmd支払先クリア", "クリア"}, {"cmd支払先削除", "削除"}};
    for (const auto& [name, caption] : captions) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        buttons->addWidget(button);
    }
    auto* hint = makeHintButton(QStringLiteral("cmdHint1"), this);
    connect(hint, &QPushButton::clicked, this, [this] { emit hintRequested(QStringLiteral("cmdHint1")); });
    buttons->addWidget(hint);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
}

void PayeePage::FormInit()
{
    store::skipOnFailure(QStringLiteral("bind dat支払先マスタ"), [&] {
        dat支払先マスタ_->bind(&context_.session.workDb(), QStringLiteral("w支払先マスタ"));
        dat支払先マスタ_->setColumnKind(0, store::WorkTableModel::ColumnKind::Check);
        dat支払先マスタ_->setAppendLine(true);
        dat支払先マスタ_->refresh();
        grid_->setWorkModel(dat支払先マスタ_);
    });
    store::skipOnFailure(QStringLiteral("Grid支払先マスタ columns"), [&] {
        grid_->setupColumn(0, {.heading = QStringLiteral("チェック"), .alignment = Qt::AlignHCenter, .widthTwips = 380});
        grid_->setupColumn(1, {.heading = QStringLiteral("支払先名"), .widthTwips = 5490});
    });
}

void PayeePage::Clear支払先マスタ()
{
    store::skipOnFailure(QStringLiteral("Clear支払先マスタ delete"), [&] { store::exec(context_.session.workDb(), QStringLiteral("DELETE FROM w支払先マスタ")); });
    store::skipOnFailure(QStringLiteral("Clear支払先マスタ refresh"), [&] { dat支払先マスタ_->refresh(); });
}

} // namespace payees
