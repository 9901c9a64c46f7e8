#include "ExportDialog.h"

#include "YearMonthEdit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace exchange {

namespace {

// A month of the range: typed as in the year-month field of the pages ("2026/12",
// "202612", "令和8年12月", ...).
YearMonthEdit* monthEdit(const char* name, const QDate& month, QWidget* parent)
{
    auto* edit = new YearMonthEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setDate(month);
    return edit;
}

QDate firstOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), 1);
}

// The first day of the month the field's text names, or an invalid date.
QDate typedMonth(const YearMonthEdit& edit)
{
    const std::optional<calendar::YearMonth> month = calendar::parseYearMonth(edit.text());
    return month ? QDate(month->year, month->month, 1) : QDate();
}

} // namespace

ExportDialog::ExportDialog(const QDate& shownMonth, QWidget* parent)
    : QDialog(parent)
    , shownMonth_(shownMonth.isValid() ? firstOfMonth(shownMonth) : QDate())
{
    setObjectName(QStringLiteral("dlg出力"));
    setWindowTitle(QStringLiteral("Excel・CSV 出力"));
    const QDate start = shownMonth_.isValid() ? shownMonth_ : firstOfMonth(QDate::currentDate());

    opt表示月_ = new QRadioButton(shownMonth_.isValid() ? QStringLiteral("表示中の月 (%1)").arg(monthName(shownMonth_)) : QStringLiteral("表示中の月"), this);
    opt表示月_->setObjectName(QStringLiteral("opt表示月"));
    opt範囲_ = new QRadioButton(QStringLiteral("月の範囲"), this);
    opt範囲_->setObjectName(QStringLiteral("opt範囲"));
    dt開始_ = monthEdit("dt開始", start, this);
    dt終了_ = monthEdit("dt終了", start, this);
    cmb形式_ = new QComboBox(this);
    cmb形式_->setObjectName(QStringLiteral("cmb形式"));
    cmb形式_->addItems({QStringLiteral("Excel ブック (.xlsx)"), QStringLiteral("CSV (.csv)")});
    cmb文字コード_ = new QComboBox(this);
    cmb文字コード_->setObjectName(QStringLiteral("cmb文字コード"));
    cmb文字コード_->addItems({QStringLiteral("Shift_JIS (Excel 向け)"), QStringLiteral("UTF-8 (BOM付き)")});

    auto* range = new QHBoxLayout;
    range->addWidget(opt範囲_);
    range->addWidget(dt開始_);
    auto* to = new QLabel(QStringLiteral("～"), this);
    to->setObjectName(QStringLiteral("lbl範囲"));
    range->addWidget(to);
    range->addWidget(dt終了_);
    range->addStretch();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("形式"), cmb形式_);
    form->addRow(QStringLiteral("文字コード"), cmb文字コード_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(opt表示月_);
    layout->addLayout(range);
    layout->addLayout(form);
    layout->addWidget(buttons);

    opt表示月_->setEnabled(shownMonth_.isValid());
    (shownMonth_.isValid() ? opt表示月_ : opt範囲_)->setChecked(true);
    connect(opt範囲_, &QRadioButton::toggled, this, &ExportDialog::updateState);
    connect(cmb形式_, &QComboBox::currentIndexChanged, this, &ExportDialog::updateState);
    connect(dt開始_, &YearMonthEdit::monthEntered, this, &ExportDialog::updateState);
    connect(dt終了_, &YearMonthEdit::monthEntered, this, &ExportDialog::updateState);
    connect(dt開始_, &QLineEdit::textEdited, this, &ExportDialog::updateState);
    connect(dt終了_, &QLineEdit::textEdited, this, &ExportDialog::updateState);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateState();
}

ExportDialog::ExportDialog(const QString& subject, QWidget* parent)
    : ExportDialog(QDate(), parent)
{
    subjectOnly_ = true;
    for (QWidget* range : {static_cast<QWidget*>(opt表示月_), static_cast<QWidget*>(opt範囲_), static_cast<QWidget*>(dt開始_),
             static_cast<QWidget*>(dt終了_), findChild<QWidget*>(QStringLiteral("lbl範囲"))})
        range->hide();
    auto* label = new QLabel(subject, this);
    label->setObjectName(QStringLiteral("lbl出力対象"));
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, label);
}

ExportChoice ExportDialog::choice() const
{
    ExportChoice choice;
    choice.format = cmb形式_->currentIndex() == 0 ? ExportFormat::Xlsx : ExportFormat::Csv;
    choice.encoding = cmb文字コード_->currentIndex() == 0 ? CsvEncoding::Cp932 : CsvEncoding::Utf8Bom;
    if (subjectOnly_)
        return choice; // the caller knows the document's range
    if (opt範囲_->isChecked()) {
        choice.from = firstOfMonth(dt開始_->date());
        choice.to = firstOfMonth(dt終了_->date());
    } else {
        choice.from = choice.to = shownMonth_;
    }
    return choice;
}

void ExportDialog::accept()
{
    // A month typed and not yet entered counts as entered; a text that is no month stays
    // in its field, in red, for correction.
    if (opt範囲_->isChecked() && !subjectOnly_) {
        for (YearMonthEdit* edit : {dt開始_, dt終了_}) {
            if (!edit->commitText()) {
                edit->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
        updateState();
        if (!dt開始_->date().isValid() || !dt終了_->date().isValid() || dt終了_->date() < dt開始_->date())
            return;
    }
    QDialog::accept();
}

void ExportDialog::updateState()
{
    const bool range = opt範囲_->isChecked();
    dt開始_->setEnabled(range);
    dt終了_->setEnabled(range);
    cmb文字コード_->setEnabled(cmb形式_->currentIndex() == 1);
    // A range that ends before it starts cannot be written.
    auto* ok = findChild<QDialogButtonBox*>(QStringLiteral("buttons"))->button(QDialogButtonBox::Ok);
    // The months as typed so far; a text that is no month is named when OK is pressed.
    const QDate from = typedMonth(*dt開始_);
    const QDate to = typedMonth(*dt終了_);
    ok->setEnabled(!range || !from.isValid() || !to.isValid() || from <= to);
}

} // namespace exchange
