#pragma once

#include "ReconcilePlan.h"

#include <QDialog>

#include <functional>

class QLabel;
class QSpinBox;
class QTableWidget;

namespace statement {

// The reconciliation (dlg明細消込): one row per withdrawal of the statement and per unpaid
// line past its day. Proposed matches are ticked; an ambiguous withdrawal offers its lines
// to choose from; a withdrawal without a line can be added as a paid line of its day or
// left; unpaid lines whose days passed with no withdrawal are shown in red. The window of
// business days (num営業日幅) matches again when changed. 消込 accepts.
class ReconcileDialog : public QDialog {
    Q_OBJECT
public:
    ReconcileDialog(MatchedStatement matched, int dayWindow, std::function<Reconciliation(int dayWindow)> rematch, QWidget* parent = nullptr);

    const MatchedStatement& matched() const { return matched_; }
    int dayWindow() const;
    // What the rows say now.
    Decisions decisions() const;

    // The table's columns.
    enum Column { ColKind, ColDate, ColAmount, ColWords, ColLine, ColumnCount };

private:
    void fill();
    void addRow(const QString& kind, const StatementLine* line, const QString& words);
    void onWindowChanged(int days);

    MatchedStatement matched_;
    std::function<Reconciliation(int)> rematch_;
    QLabel* summary_;
    QSpinBox* window_;
    QTableWidget* table_;
};

} // namespace statement
