#pragma once

#include "ExportFile.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QRadioButton;

namespace exporting {

// Asks what to write out: the shown month or a range of months, as an Excel workbook or
// as CSV, and the CSV's encoding. Without a shown month only a range can be chosen.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const QDate& shownMonth, QWidget* parent = nullptr);

    ExportChoice choice() const;

private:
    void updateState();

    QDate shownMonth_;
    QRadioButton* opt表示月_;
    QRadioButton* opt範囲_;
    QDateEdit* dt開始_;
    QDateEdit* dt終了_;
    QComboBox* cmb形式_;
    QComboBox* cmb文字コード_;
};

} // namespace exporting
