#include "ReconcileDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace statement {

namespace {

QString yenText(qint64 yen)
{
    const std::optional<ledger::Amount> amount = ledger::Amount::fromYen(yen);
    return amount ? amount->format() : QString::number(yen);
}

QString fileText(const banking::TransferRecord& file, const Proposal& p)
{
    QString text = QStringLiteral("振込データ %1 %2 件").arg(file.day.toString(QStringLiteral("MM/dd"))).arg(file.transfers.size());
    if (p.feeYen > 0)
        text += QStringLiteral("（手数料 %1 円）").arg(yenText(p.feeYen));
    if (p.pays.empty())
        text += QStringLiteral("：支払済");
    return text;
}

} // namespace

ReconcileDialog::ReconcileDialog(MatchedStatement matched, int dayWindow, std::function<Reconciliation(int)> rematch, QWidget* parent)
    : QDialog(parent)
    , matched_(std::move(matched))
    , rematch_(std::move(rematch))
    , summary_(new QLabel(this))
    , window_(new QSpinBox(this))
    , table_(new QTableWidget(0, ColumnCount, this))
{
    setObjectName(QStringLiteral("dlg明細消込"));
    setWindowTitle(QStringLiteral("入出金明細の消込"));
    summary_->setObjectName(QStringLiteral("lbl明細消込"));
    summary_->setWordWrap(true);
    window_->setObjectName(QStringLiteral("num営業日幅"));
    window_->setRange(0, 10);
    window_->setValue(dayWindow);
    window_->setSuffix(QStringLiteral(" 営業日"));
    auto* windowRow = new QHBoxLayout;
    windowRow->addWidget(new QLabel(QStringLiteral("日付のずれ（行の日付から）:"), this));
    windowRow->addWidget(window_);
    windowRow->addStretch();
    table_->setObjectName(QStringLiteral("lst明細消込"));
    table_->setHorizontalHeaderLabels({QStringLiteral("区分"), QStringLiteral("日付"), QStringLiteral("出金"), QStringLiteral("明細の名前"), QStringLiteral("支払予定の行")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("消込"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmd消込"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(windowRow);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(860, 480);
    fill();
    connect(window_, &QSpinBox::valueChanged, this, &ReconcileDialog::onWindowChanged);
}

int ReconcileDialog::dayWindow() const
{
    return window_->value();
}

void ReconcileDialog::onWindowChanged(int days)
{
    if (!rematch_)
        return;
    matched_.reconciliation = rematch_(days);
    fill();
}

void ReconcileDialog::addRow(const QString& kind, const StatementLine* line, const QString& words)
{
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, ColKind, new QTableWidgetItem(kind));
    table_->setItem(row, ColDate, new QTableWidgetItem(line ? line->date.toString(QStringLiteral("yyyy/MM/dd")) : QString()));
    auto* amount = new QTableWidgetItem(line ? yenText(line->yen) : QString());
    amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(row, ColAmount, amount);
    table_->setItem(row, ColWords, new QTableWidgetItem(words));
}

void ReconcileDialog::fill()
{
    const Reconciliation& r = matched_.reconciliation;
    const std::vector<StatementLine>& lines = matched_.statement.lines;
    table_->setRowCount(0);
    for (const Proposal& p : r.proposed) {
        const StatementLine& w = lines[p.withdrawal];
        addRow(QStringLiteral("照合"), &w, statementWords(w));
        QTableWidgetItem* kind = table_->item(table_->rowCount() - 1, ColKind);
        kind->setFlags(kind->flags() | Qt::ItemIsUserCheckable);
        kind->setCheckState(Qt::Checked);
        QStringList targets;
        if (p.file >= 0)
            targets << fileText(matched_.sources.transferFiles[static_cast<std::size_t>(p.file)], p);
        for (const LinePay& pay : p.pays)
            targets << lineText(matched_.lines[pay.line]);
        table_->setItem(table_->rowCount() - 1, ColLine, new QTableWidgetItem(targets.join(QStringLiteral("、"))));
    }
    for (const Ambiguity& a : r.ambiguous) {
        const StatementLine& w = lines[a.withdrawal];
        addRow(a.nameKnown ? QStringLiteral("選択") : QStringLiteral("名前が未登録"), &w, statementWords(w));
        auto* choice = new QComboBox(table_);
        choice->addItem(QStringLiteral("（選ばない）"));
        for (const std::size_t line : a.choices)
            choice->addItem(lineText(matched_.lines[line]));
        table_->setCellWidget(table_->rowCount() - 1, ColLine, choice);
    }
    for (const std::size_t w : r.unmatched) {
        addRow(QStringLiteral("行なし"), &lines[w], statementWords(lines[w]));
        auto* choice = new QComboBox(table_);
        choice->addItems({QStringLiteral("そのままにする"), QStringLiteral("支払済の行として追加")});
        table_->setCellWidget(table_->rowCount() - 1, ColLine, choice);
    }
    for (const std::size_t line : r.overdue) {
        addRow(QStringLiteral("未払"), nullptr, QString());
        auto* item = new QTableWidgetItem(lineText(matched_.lines[line]) + QStringLiteral("：出金がありません"));
        for (int column = 0; column < ColumnCount; ++column) {
            if (QTableWidgetItem* cell = column == ColLine ? item : table_->item(table_->rowCount() - 1, column))
                cell->setForeground(QColor(Qt::red));
        }
        table_->setItem(table_->rowCount() - 1, ColLine, item);
    }
    table_->resizeColumnsToContents();
    summary_->setText(QStringLiteral("%1〜%2 の出金: 照合 %3 件、選択 %4 件、行なし %5 件。日付を過ぎた未払の行: %6 行（赤）")
                          .arg(matched_.statement.from.toString(QStringLiteral("yyyy/MM/dd")), matched_.statement.to.toString(QStringLiteral("yyyy/MM/dd")))
                          .arg(r.proposed.size())
                          .arg(r.ambiguous.size())
                          .arg(r.unmatched.size())
                          .arg(r.overdue.size()));
}

Decisions ReconcileDialog::decisions() const
{
    const Reconciliation& r = matched_.reconciliation;
    Decisions d = Decisions::defaults(r);
    int row = 0;
    for (std::size_t i = 0; i < r.proposed.size(); ++i, ++row)
        d.proposedTicked[i] = table_->item(row, ColKind)->checkState() == Qt::Checked;
    for (std::size_t i = 0; i < r.ambiguous.size(); ++i, ++row)
        d.chosen[i] = static_cast<QComboBox*>(table_->cellWidget(row, ColLine))->currentIndex() - 1;
    for (std::size_t i = 0; i < r.unmatched.size(); ++i, ++row)
        d.added[i] = static_cast<QComboBox*>(table_->cellWidget(row, ColLine))->currentIndex() == 1;
    return d;
}

} // namespace statement
