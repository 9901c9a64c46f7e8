#include "CsvColumnsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace statement {

namespace {

struct ColumnRole {
    const char16_t* name;  // the box's object name
    const char16_t* label;
    bool optional;
};

constexpr ColumnRole kRoles[] = {
    {u"cmb日付列", u"日付", false},
    {u"cmb出金列", u"出金（お引出し）", false},
    {u"cmb入金列", u"入金（お預入れ）", false},
    {u"cmb摘要列", u"摘要（取引の内容）", false},
    {u"cmb照会番号列", u"照会番号", true},
};

} // namespace

CsvColumnsDialog::CsvColumnsDialog(const QStringList& titles, const CsvColumns& suggested, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlg明細CSV列"));
    setWindowTitle(QStringLiteral("明細 CSV の列"));
    auto* form = new QFormLayout;
    const int chosen[] = {suggested.date, suggested.withdrawal, suggested.deposit, suggested.description, suggested.reference};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromUtf16(kRoles[i].name));
        box->addItem(kRoles[i].optional ? QStringLiteral("（なし）") : QStringLiteral("（選んでください）"), -1);
        for (int column = 0; column < titles.size(); ++column)
            box->addItem(QStringLiteral("%1 列目「%2」").arg(column + 1).arg(titles.at(column)), column);
        box->setCurrentIndex(std::max(0, box->findData(chosen[i])));
        connect(box, &QComboBox::currentIndexChanged, this, &CsvColumnsDialog::followChoice);
        form->addRow(QString::fromUtf16(kRoles[i].label), box);
        boxes_[i] = box;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("cmd列OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("この銀行の CSV ファイルで使う列を選んでください。次からは同じ列の並びのファイルに使います。"), this));
    layout->addLayout(form);
    layout->addWidget(buttons);
    followChoice();
}

CsvColumns CsvColumnsDialog::columns() const
{
    return {boxes_[0]->currentData().toInt(), boxes_[1]->currentData().toInt(), boxes_[2]->currentData().toInt(), boxes_[3]->currentData().toInt(),
        boxes_[4]->currentData().toInt()};
}

void CsvColumnsDialog::followChoice()
{
    ok_->setEnabled(columns().complete());
}

} // namespace statement
