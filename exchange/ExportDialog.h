#pragma once

#include "ExportFile.h"

#include <QDialog>

class QComboBox;
class QRadioButton;
class YearMonthEdit;

namespace exchange {

// Asks what to write out: the shown month or a range of months, as an Excel workbook or
// as CSV, and the CSV's encoding. Without a shown month only a range can be chosen.
// For a document whose range is already given (the cash-flow overview) it names the
// document and asks only for the format and the encoding.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const QDate& shownMonth, QWidget* parent = nullptr);
    ExportDialog(const QString& subject, QWidget* parent);

    ExportChoice choice() const;

    // OK: the months typed into the range count as entered; a text that is no month stays
    // in red in its field and the dialog stays open.
    void accept() override;

private:
    void updateState();

    QDate shownMonth_;
    bool subjectOnly_ = false;
    QRadioButton* opt表示月_;
    QRadioButton* opt範囲_;
    YearMonthEdit* dt開始_;
    YearMonthEdit* dt終了_;
    QComboBox* cmb形式_;
    QComboBox* cmb文字コード_;
};

} // namespace exchange
