#include "TransferDialog.h"

#include "Holidays.h"

#include <QColor>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace banking {

namespace {

enum ReadyColumn { kTick, kPayee, kBank, kBranch, kAccount, kHolder, kBearer, kAmount, kDeducted, kSent, kCharged, kNote, kReadyColumns };

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QColor kWarning(0xb0, 0, 0);

QTableWidget* makeTable(const QStringList& headings, const char* name, QWidget* parent)
{
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setObjectName(QString::fromUtf8(name));
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->setVisible(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    // A face of fixed width shows the half-width kana as the bank's records hold them.
    static const QFont fixed(QStringLiteral("ＭＳ ゴシック"));
    if (text.contains(QRegularExpression(QStringLiteral("[\\x{FF61}-\\x{FF9F}]"))))
        item->setFont(fixed);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QString accountText(const BankAccount& account)
{
    return accountTypeName(account.type) + QLatin1Char(' ') + account.number;
}

QDate TransferDialog::openingDay(const QDate& month, const QDate& wanted, const TransferSources& sources)
{
    const QDate first(month.year(), month.month(), 1);
    if (wanted.isValid() && wanted.year() == first.year() && wanted.month() == first.month())
        return wanted;
    for (QDate day = first; day.month() == first.month(); day = day.addDays(1)) {
        if (!planTransfers(sources.lines, day, sources.accounts, sources.unlisted, sources.fees).ready.empty())
            return day;
    }
    return first;
}

TransferDialog::TransferDialog(const QDate& month, TransferSources sources, const QDate& day, const QDate& today, QWidget* parent)
    : QDialog(parent)
    , sources_(std::move(sources))
    , today_(today)
    , date_(new QDateEdit(this))
    , dateNote_(new QLabel(this))
    , ready_(makeTable({QStringLiteral("振込"), QStringLiteral("支払先名"), QStringLiteral("銀行"), QStringLiteral("支店"), QStringLiteral("口座"),
                           QStringLiteral("口座名義"), QStringLiteral("負担"), QStringLiteral("支払金額"), QStringLiteral("先方負担"), QStringLiteral("振込金額"),
                           QStringLiteral("手数料"), QStringLiteral("確認")},
          "grid振込対象", this))
    , apart_(makeTable({QStringLiteral("支払先名"), QStringLiteral("理由")}, "grid振込対象外", this))
    , total_(new QLabel(this))
    , make_(new QPushButton(QStringLiteral("作成"), this))
    , list_(new QPushButton(QStringLiteral("振込一覧"), this))
{
    setObjectName(QStringLiteral("dlg振込データ作成"));
    setWindowTitle(QStringLiteral("振込データ作成"));
    const QDate first(month.year(), month.month(), 1);
    date_->setObjectName(QStringLiteral("dt振込指定日"));
    date_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    date_->setCalendarPopup(true);
    date_->setDateRange(first, first.addMonths(1).addDays(-1));
    date_->setDate(openingDay(first, day, sources_));
    dateNote_->setObjectName(QStringLiteral("lbl休業日"));
    total_->setObjectName(QStringLiteral("lbl振込合計"));
    total_->setWordWrap(true);
    make_->setObjectName(QStringLiteral("cmd振込作成"));
    make_->setDefault(true);
    list_->setObjectName(QStringLiteral("cmd振込一覧"));
    buildTables();
    connect(date_, &QDateEdit::dateChanged, this, [this] { setDay(date_->date()); });
    connect(ready_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kTick)
            showTotal();
    });
    connect(make_, &QPushButton::clicked, this, [this] {
        if (!chosen().empty())
            accept();
    });
    connect(list_, &QPushButton::clicked, this, [this] {
        if (listRequested)
            listRequested(this->day(), chosen());
    });
    setDay(date_->date());
    // Wide enough for the fee columns, within a small screen.
    const QRect room = screen() ? screen()->availableGeometry() : QRect(0, 0, 1180, 560);
    resize(std::min(1180, room.width() - 40), std::min(560, room.height() - 40));
}

void TransferDialog::buildTables()
{
    auto* dateRow = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("振込指定日"), this);
    dateLabel->setBuddy(date_);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(date_);
    dateRow->addWidget(dateNote_);
    dateRow->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(make_, QDialogButtonBox::AcceptRole);
    buttons->addButton(list_, QDialogButtonBox::ActionRole);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdキャンセル"));
    // 作成 accepts only with a line ticked; the box's own accept is not used.
    disconnect(buttons, &QDialogButtonBox::accepted, this, nullptr);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dateRow);
    layout->addWidget(new QLabel(QStringLiteral("振り込む行（チェックを外した行は振込データに書きません）"), this));
    layout->addWidget(ready_, 3);
    layout->addWidget(total_);
    layout->addWidget(new QLabel(QStringLiteral("振り込めない行"), this));
    layout->addWidget(apart_, 1);
    layout->addWidget(buttons);
    apart_->setFocusPolicy(Qt::NoFocus);
}

QDate TransferDialog::day() const
{
    return date_->date();
}

void TransferDialog::setDay(const QDate& day)
{
    if (date_->date() != day) {
        date_->setDate(day); // comes back here through dateChanged, within the month
        return;
    }
    plan_ = planTransfers(sources_.lines, day, sources_.accounts, sources_.unlisted, sources_.fees);
    fillReady();
    fillApart();
    showDateNote();
    showTotal();
}

void TransferDialog::fillReady()
{
    const QSignalBlocker quiet(ready_);
    ready_->setRowCount(static_cast<int>(plan_.ready.size()));
    for (int i = 0; i < ready_->rowCount(); ++i) {
        const TransferCandidate& line = plan_.ready[static_cast<std::size_t>(i)];
        const BankAccount& account = line.details->account;
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        // A line that may be the same bill twice is sent only when the user ticks it.
        tick->setCheckState(line.repeated ? Qt::Unchecked : Qt::Checked);
        ready_->setItem(i, kTick, tick);
        ready_->setItem(i, kPayee, cell(line.details->payee));
        ready_->setItem(i, kBank, cell(account.bankCode + QLatin1Char(' ') + account.bankName));
        ready_->setItem(i, kBranch, cell(account.branchCode + QLatin1Char(' ') + account.branchName));
        ready_->setItem(i, kAccount, cell(accountText(account)));
        ready_->setItem(i, kHolder, cell(account.holder));
        ready_->setItem(i, kAmount, cell(yenText(line.yen), kRight));
        fillFees(i, line);
    }
    ready_->resizeColumnsToContents();
    ready_->horizontalHeader()->setStretchLastSection(false);
    ready_->horizontalHeader()->setSectionResizeMode(kPayee, QHeaderView::Stretch);
}

void TransferDialog::fillFees(int index, const TransferCandidate& line)
{
    const std::optional<TransferFee>& fee = line.fee;
    const bool payeeBears = fee && fee->bearer == FeeBearer::Payee;
    ready_->setItem(index, kBearer, cell(fee ? bearerName(fee->bearer).left(2) : QString()));
    ready_->setItem(index, kDeducted, cell(payeeBears ? yenText(fee->deducted) : QString(), kRight));
    ready_->setItem(index, kSent, cell(yenText(line.sentYen()), kRight));
    QTableWidgetItem* charged = cell(fee && fee->charged ? yenText(*fee->charged) : QStringLiteral("―"), kRight);
    if (!fee || !fee->charged)
        charged->setToolTip(QStringLiteral("手数料表が空のため分かりません（設定・情報のページの振込手数料）"));
    ready_->setItem(index, kCharged, charged);
    QStringList notes;
    QStringList tips;
    if (line.repeated) {
        notes << QStringLiteral("重複の疑い");
        tips << QStringLiteral("この日の前の行と同じ支払先・金額です。二重の支払でなければチェックしてください。");
    }
    if (fee && fee->differs()) {
        notes << QStringLiteral("差額 %1 円").arg(yenText(fee->difference()));
        tips << QStringLiteral("先方負担で差し引く手数料 %1 円と、銀行が振込金額 %2 円に掛ける手数料 %3 円が違います。")
                    .arg(yenText(fee->deducted), yenText(line.sentYen()), yenText(fee->charged.value_or(0)));
    }
    QTableWidgetItem* note = cell(notes.join(QStringLiteral("、")));
    if (!notes.isEmpty()) {
        note->setForeground(kWarning);
        note->setToolTip(tips.join(QLatin1Char('\n')));
    }
    ready_->setItem(index, kNote, note);
}

void TransferDialog::fillApart()
{
    apart_->setRowCount(static_cast<int>(plan_.apart.size()));
    for (int i = 0; i < apart_->rowCount(); ++i) {
        const ExcludedLine& line = plan_.apart[static_cast<std::size_t>(i)];
        apart_->setItem(i, 0, cell(line.payee));
        apart_->setItem(i, 1, cell(line.reason));
    }
    apart_->resizeColumnToContents(0);
}

void TransferDialog::setTicked(int index, bool ticked)
{
    if (QTableWidgetItem* tick = ready_->item(index, kTick))
        tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

std::vector<TransferCandidate> TransferDialog::chosen() const
{
    std::vector<TransferCandidate> lines;
    for (int i = 0; i < ready_->rowCount(); ++i) {
        if (ready_->item(i, kTick)->checkState() == Qt::Checked)
            lines.push_back(plan_.ready[static_cast<std::size_t>(i)]);
    }
    return lines;
}

void TransferDialog::showTotal()
{
    const std::vector<TransferCandidate> lines = chosen();
    QString text = totalsText(totalsOf(lines));
    // The repeats are named, ticked or not, so that a bill is never sent twice unseen.
    QStringList left;
    QStringList sent;
    for (int i = 0; i < ready_->rowCount(); ++i) {
        const TransferCandidate& line = plan_.ready[static_cast<std::size_t>(i)];
        if (line.repeated)
            (ready_->item(i, kTick)->checkState() == Qt::Checked ? sent : left) << transferText(line.details->payee, line.yen);
    }
    if (!left.isEmpty())
        text += QStringLiteral("\n同じ支払先・金額の行が重なるため外しています：%1").arg(left.join(QStringLiteral("、")));
    if (!sent.isEmpty())
        text += QStringLiteral("\n同じ支払先・金額の行を重ねて振り込みます：%1").arg(sent.join(QStringLiteral("、")));
    total_->setText(text);
    make_->setEnabled(!lines.empty());
    list_->setEnabled(!lines.empty());
}

void TransferDialog::showDateNote()
{
    const QDate shown = day();
    QString note = QStringLiteral("（%1）").arg(calendar::weekdayLetter(shown));
    if (calendar::isBankHoliday(shown)) {
        const QString name = calendar::holidayName(shown);
        note += QStringLiteral("　<span style=\"color:#b00000\">銀行の休業日です%1</span>").arg(name.isEmpty() ? QString() : QStringLiteral("（%1）").arg(name.toHtmlEscaped()));
    }
    if (today_.isValid() && shown < today_)
        note += QStringLiteral("　<span style=\"color:#b00000\">今日より前の日付です</span>");
    dateNote_->setText(note);
}

} // namespace banking
