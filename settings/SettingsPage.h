#pragma once

#include "PageContext.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace settings {

// The settings and information page: era display, automatic payee registration,
// ruled-line colour, the delete-everything command, the banner and the information texts.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(PageContext& context, QWidget* parent = nullptr);

    // Reads the settings record into the page and the in-memory settings.
    void Read設定();
    // Fills the era list and sets it to the in-memory era.
    void FormInit();

signals:
    void hintRequested(const QString& controlName);
    void allDeleteRequested();
    void bannerClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PageContext& context_;
    QFrame* pic罫線色_;
    QLineEdit* num白紙罫線色_;
    QCheckBox* chk支払先自動登録_;
    QComboBox* cmb年号_;
    QLabel* image2_;
};

} // namespace settings
