#include "FeeDialog.h"

#include "Msg.h"
#include "TransferFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace settings {

using banking::FeeDestination;

namespace {

// Rows shown in an empty table, ready for the bank's bands.
constexpr int kBlankRows = 2;

QTableWidgetItem* amountItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FeeDialog::FeeDialog(const banking::FeeSettings& stored, messages::Msg& msg, QWidget* parent)
    : QDialog(parent)
    , msg_(msg)
    , method_(new QComboBox(this))
    , bearer_(new QComboBox(this))
    , feeLine_(new QCheckBox(QStringLiteral("支払済にするとき、振込指定日に「振込手数料」の行を加える"), this))
{
    setObjectName(QStringLiteral("dlg振込手数料"));
    setWindowTitle(QStringLiteral("振込手数料"));
    method_->setObjectName(QStringLiteral("cmb手数料計算方式"));
    bearer_->setObjectName(QStringLiteral("cmb手数料負担既定"));
    feeLine_->setObjectName(QStringLiteral("chk手数料行"));
    for (banking::FeeMethod method : banking::kFeeMethods)
        method_->addItem(banking::methodName(method), static_cast<int>(method));
    method_->setToolTip(QStringLiteral("先方負担で差し引く手数料の決め方：据置型は支払金額の段の手数料、加算型は段の下限に手数料を加えて判定"));
    for (banking::FeeBearer bearer : {banking::FeeBearer::Payer, banking::FeeBearer::Payee})
        bearer_->addItem(banking::bearerName(bearer), static_cast<int>(bearer));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("先方負担の計算方式"), method_);
    form->addRow(QStringLiteral("手数料の負担（支払先で指定のないとき）"), bearer_);
    form->addRow(QString(), feeLine_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* enter = buttons->addButton(QStringLiteral("登録"), QDialogButtonBox::AcceptRole);
    enter->setObjectName(QStringLiteral("cmd手数料登録"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdキャンセル"));
    disconnect(buttons, &QDialogButtonBox::accepted, this, nullptr);
    connect(enter, &QPushButton::clicked, this, &FeeDialog::tryAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("銀行の手数料表（税込・円）：各段の下限（この金額以上）と手数料。空の表の振込先は、先方負担で振り込めません。"), this));
    layout->addLayout(makeTables());
    layout->addLayout(form);
    layout->addWidget(buttons);
    showSettings(stored);
    resize(760, 420);
}

QHBoxLayout* FeeDialog::makeTables()
{
    auto* tables = new QHBoxLayout;
    for (FeeDestination destination : banking::kFeeDestinations) {
        auto* box = new QGroupBox(banking::destinationName(destination), this);
        auto* column = new QVBoxLayout(box);
        QTableWidget* table = makeTable(destination);
        column->addWidget(table);
        auto* rowButtons = new QHBoxLayout;
        auto* add = new QPushButton(QStringLiteral("行追加"), box);
        auto* remove = new QPushButton(QStringLiteral("行削除"), box);
        add->setAutoDefault(false);
        remove->setAutoDefault(false);
        rowButtons->addWidget(add);
        rowButtons->addWidget(remove);
        column->addLayout(rowButtons);
        connect(add, &QPushButton::clicked, table, [table] { table->insertRow(table->rowCount()); });
        connect(remove, &QPushButton::clicked, table, [table] {
            if (table->rowCount() > 0)
                table->removeRow(table->currentRow() >= 0 ? table->currentRow() : table->rowCount() - 1);
        });
        tables->addWidget(box);
    }

    return tables;
}

QTableWidget* FeeDialog::makeTable(FeeDestination destination)
{
    auto* table = new QTableWidget(0, 2, this);
    table->setObjectName(QStringLiteral("grid手数料") + banking::destinationName(destination));
    table->setHorizontalHeaderLabels({QStringLiteral("下限（円以上）"), QStringLiteral("手数料（円）")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    tables_[static_cast<std::size_t>(destination)] = table;
    return table;
}

void FeeDialog::showSettings(const banking::FeeSettings& settings)
{
    for (FeeDestination destination : banking::kFeeDestinations) {
        QTableWidget* shown = table(destination);
        const banking::FeeBands& bands = settings.table.of(destination);
        shown->setRowCount(bands.empty() ? kBlankRows : static_cast<int>(bands.size()));
        for (int row = 0; row < static_cast<int>(bands.size()); ++row) {
            const banking::FeeBand& band = bands[static_cast<std::size_t>(row)];
            shown->setItem(row, 0, amountItem(banking::yenText(band.from)));
            shown->setItem(row, 1, amountItem(banking::yenText(band.fee)));
        }
    }
    method_->setCurrentIndex(std::max(method_->findData(static_cast<int>(settings.method)), 0));
    bearer_->setCurrentIndex(std::max(bearer_->findData(static_cast<int>(settings.defaultBearer)), 0));
    feeLine_->setChecked(settings.addFeeLine);
}

void FeeDialog::tryAccept()
{
    banking::FeeSettings typed;
    QStringList problems;
    for (FeeDestination destination : banking::kFeeDestinations) {
        QTableWidget* shown = table(destination);
        std::vector<std::pair<QString, QString>> rows;
        for (int row = 0; row < shown->rowCount(); ++row) {
            const auto text = [&](int column) { return shown->item(row, column) ? shown->item(row, column)->text() : QString(); };
            rows.emplace_back(text(0), text(1));
        }
        banking::TypedBands bands = banking::bandsFromTexts(rows);
        for (const QString& problem : bands.problems)
            problems << banking::destinationName(destination) + QStringLiteral(": ") + problem;
        typed.table.of(destination) = std::move(bands.bands);
    }
    if (!problems.isEmpty()) {
        msg_.ShowMsg(messages::MsgId::登録_手数料表不備, problems.join(QLatin1Char('\n')));
        return;
    }
    typed.method = static_cast<banking::FeeMethod>(method_->currentData().toInt());
    typed.defaultBearer = static_cast<banking::FeeBearer>(bearer_->currentData().toInt());
    typed.addFeeLine = feeLine_->isChecked();
    result_ = typed;
    accept();
}

QString feeSummary(const banking::FeeSettings& settings)
{
    QStringList parts;
    for (FeeDestination destination : banking::kFeeDestinations) {
        const std::size_t bands = settings.table.of(destination).size();
        parts << banking::destinationName(destination) + (bands == 0 ? QStringLiteral(" 未設定") : QStringLiteral(" %1段").arg(bands));
    }
    return QStringLiteral("%1・%2\n%3").arg(banking::methodName(settings.method), banking::bearerName(settings.defaultBearer), parts.join(QLatin1Char('\n')));
}

} // namespace settings
