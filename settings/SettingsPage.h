#pragma once

#include "PageContext.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace settings {

class FeeDialog;
class HolidayShiftBox;
class SenderDialog;

// The settings and information page: era display, automatic payee registration,
// ruled-line colour, the payment day on a bank holiday, the delete-everything command,
// the banner and the information texts.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(PageContext& context, QWidget* parent = nullptr);

    // Reads the settings record into the page and the in-memory settings; the only
    // place where the in-memory settings change.
    void Read設定();
    // Fills the era list and sets it to the in-memory era.
    void setUpControls();
    // Asks, then stores the page's values in the settings record (first row, added when
    // the table has none). The in-memory settings are not touched.
    void Entry設定();
    // The page's blank state: "西暦", colour field 1, black swatch, box cleared. Stores nothing.
    void Clear設定();
    // Asks, then resets the stored record to the defaults (the row stays), then Clear設定.
    void Delete設定();

    // cmd振込依頼人: the sender of bulk-transfer files in its dialog; what the dialog
    // registers or deletes is written to the main file at once.
    void openSenderDialog();
    // The dialog's run, replaceable for tests: answers whether it was accepted.
    std::function<bool(SenderDialog& dialog)> askSender;
    // cmd振込手数料: the fee table of the sender's account and the book's fee settings in
    // their dialog; what the dialog registers is written to the main file at once.
    void openFeeDialog();
    std::function<bool(FeeDialog& dialog)> askFees;

signals:
    void hintRequested(const QString& controlName);
    void allDeleteRequested();
    void bannerClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads the settings record; when the settings the pages show changed, tells the book's
    // listeners.
    void readAndTell();
    // The parts of the page, built by the constructor.
    void nameControls();
    QHBoxLayout* makeSettingsRow();
    QGroupBox* makeAllDeleteBox();
    void onEnterClicked();
    // Shows a colour in the swatch and its value in the colour field.
    void showColour(qint64 value);
    void showSwatch(qint64 value);
    // Sets the era list to a text; a text other than the two entries is shown as a third
    // entry, which lasts until the next time the list is set.
    void showEra(const QString& era);
    void Pic罫線色_DblClick();
    // The sender's box beside the settings: its name and account, and the button that
    // opens its dialog; shown again whenever the settings are read.
    void addSenderBox(QHBoxLayout* row);
    void showSender();
    // In the sender's box: the fee settings in short, and the button that opens their dialog.
    void addFeeRows(QVBoxLayout* column);
    void showFees();

    PageContext& context_;
    QFrame* pic罫線色_;
    QLineEdit* num白紙罫線色_;
    QCheckBox* chk支払先自動登録_;
    QComboBox* cmb年号_;
    QLabel* image2_;
    HolidayShiftBox* holidayShift_;
    QLabel* senderSummary_ = nullptr;
    QLabel* feeSummary_ = nullptr;
};

} // namespace settings
