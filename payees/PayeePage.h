#pragma once

#include "PageContext.h"

#include <QWidget>

class GridView;
class QPushButton;
namespace store {
class WorkTableModel;
}

namespace payees {

// The payee maintenance page: the editable copy of the payee master and its five commands.
class PayeePage : public QWidget {
    Q_OBJECT
public:
    explicit PayeePage(PageContext& context, QWidget* parent = nullptr);

    // Binds the data source and sets up the grid's two columns.
    void FormInit();
    // Empties the page; the master is not touched.
    void Clear支払先マスタ();

signals:
    void hintRequested(const QString& controlName);

private:
    PageContext& context_;
    store::WorkTableModel* dat支払先マスタ_;
    GridView* grid_;
};

} // namespace payees
