#include "AccountForm.h"

#include "BankAccount.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace banking {

void addAccountRows(QFormLayout& form, const AccountFields& fields)
{
    for (const AccountType type : kAccountTypes)
        fields.type->addItem(accountTypeName(type), static_cast<int>(type));
    form.addRow(QStringLiteral("銀行番号（4桁）"), fields.bankCode);
    form.addRow(QStringLiteral("銀行名（カナ）"), fields.bankName);
    form.addRow(QStringLiteral("支店番号（3桁）"), fields.branchCode);
    form.addRow(QStringLiteral("支店名（カナ）"), fields.branchName);
    form.addRow(QStringLiteral("預金種目"), fields.type);
    form.addRow(QStringLiteral("口座番号（7桁まで）"), fields.number);
}

DetailsButtons makeDetailsButtons(QDialog& dialog, const char* enterName, const char* removeName, bool stored)
{
    auto* box = new QDialogButtonBox(&dialog);
    QPushButton* enter = box->addButton(QStringLiteral("登録"), QDialogButtonBox::AcceptRole);
    enter->setObjectName(QString::fromUtf8(enterName));
    enter->setDefault(true);
    QPushButton* remove = box->addButton(QStringLiteral("削除"), QDialogButtonBox::DestructiveRole);
    remove->setObjectName(QString::fromUtf8(removeName));
    remove->setEnabled(stored);
    QPushButton* cancel = box->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdキャンセル"));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return {box, enter, remove};
}

} // namespace banking
