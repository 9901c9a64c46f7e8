#include "MessagePresenter.h"

#include <QMessageBox>

namespace messages {

Answer QtMessagePresenter::ask(const MessageBoxSpec& box)
{
    QMessageBox dialog(box.owner ? box.owner : parent_);
    dialog.setWindowTitle(box.title);
    dialog.setText(box.text);
    dialog.setWindowModality(Qt::ApplicationModal);
    switch (box.kind) {
    case BoxKind::AskDefaultNo:
    case BoxKind::AskDefaultYes:
        dialog.setIcon(QMessageBox::Question);
        dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        dialog.setDefaultButton(box.kind == BoxKind::AskDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        dialog.setEscapeButton(QMessageBox::No);
        break;
    case BoxKind::AskYesNoCancel:
        dialog.setIcon(QMessageBox::Question);
        dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        dialog.setDefaultButton(QMessageBox::Yes);
        dialog.setEscapeButton(QMessageBox::Cancel);
        break;
    case BoxKind::Inform:
        dialog.setIcon(QMessageBox::Information);
        dialog.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxKind::Warn:
        dialog.setIcon(QMessageBox::Warning);
        dialog.setStandardButtons(QMessageBox::Ok);
        break;
    case BoxKind::Critical:
        dialog.setIcon(QMessageBox::Critical);
        dialog.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (dialog.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::No;
    }
}

Answer ScriptedMessagePresenter::ask(const MessageBoxSpec& box)
{
    shown_.push_back(box);
    if (onShow)
        onShow(box);
    if (!isQuestion(box.kind))
        return Answer::No;
    if (answers_.empty())
        return defaultAnswer_;
    const Answer answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
}

} // namespace messages
