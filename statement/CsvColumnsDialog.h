#pragma once

#include "CsvStatement.h"

#include <QDialog>

#include <array>

class QComboBox;

namespace statement {

// The columns of a bank's CSV statement, chosen once for its layout (dlg明細CSV列): the
// file's column titles offered for the day, the withdrawal, the deposit, the description
// and the reference number (which may be none). OK stays off until the four are chosen.
class CsvColumnsDialog : public QDialog {
    Q_OBJECT
public:
    CsvColumnsDialog(const QStringList& titles, const CsvColumns& suggested, QWidget* parent = nullptr);
    CsvColumns columns() const;

private:
    void followChoice();
    std::array<QComboBox*, 5> boxes_{};
    QWidget* ok_ = nullptr;
};

} // namespace statement
