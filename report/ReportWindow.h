#pragma once

#include "ReportLayout.h"

#include <QWidget>

#include <functional>
#include <memory>

class QHBoxLayout;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
namespace messages {
class Msg;
}

namespace report {

// The report's own window: a preview of the laid-out pages with zoom and page steps,
// printing through the print dialog and saving as a PDF file. It keeps the pages it was
// given, so what it prints and saves is what it shows. With an owner it is a window of
// its own that goes with the owner and does not keep the program running; it deletes
// itself when closed.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    ReportWindow(ReportDocument document, messages::Msg& msg, QWidget* owner = nullptr);
    ~ReportWindow() override;

    const ReportDocument& document() const { return document_; }
    // Shows other pages of the same report in this window, e.g. the month laid out again.
    void showDocument(ReportDocument document);
    // Brings the window to the front, restored if it was minimised.
    void bringToFront();
    // One preview per report: an open window of the owner whose document is the same
    // report (same name and month) shows the new pages and comes to the front; otherwise
    // a new window opens, at newSize when one is given.
    static ReportWindow* showOnce(ReportDocument document, messages::Msg& msg, QWidget* owner, const QSize& newSize = {});

    // A name in the documents folder that carries the year and month, e.g.
    // 支払予定表_2005年11月.pdf (支払予定表.pdf without a month).
    QString defaultPdfPath() const;

    // Paints the report on the printer, or, when the printer prints to a file, makes that
    // file whole or not at all as savePdf does; a failure shows the catalogue's box.
    bool printTo(QPrinter& printer);
    // Writes the report to a PDF file whole or not at all (a failure leaves the file that
    // was there as it was); a failure shows the catalogue's box.
    bool savePdf(const QString& path);

    int currentPage() const;
    int pageCount() const;

    // The dialogs behind 印刷 and PDF保存, replaceable for tests: the print dialog answers
    // whether to print on the printer it set up; the file dialog answers the chosen path
    // or an empty text for cancel.
    std::function<bool(QPrinter&, QWidget*)> askPrinter;
    std::function<QString(const QString& suggested, QWidget*)> askPdfPath;

signals:
    // The Excel・CSV button: the owner writes the report's month out.
    void exportRequested();
    // A PDF file was written whole (PDF保存, or 印刷 to a file).
    void pdfSaved(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sizes and places the window inside the available area of the screen it opens on.
    void fitOnScreen(QWidget* owner);
    // The row of buttons above the preview, connected.
    QHBoxLayout* makeButtons();
    // After a zoom, scrolls so that the top of the page being read is in view.
    void keepPageTopInView(int page);
    void zoom(bool in);
    void onPrintClicked();
    void onSavePdfClicked();
    // Tells a file made (pdfSaved) or, with an error, the failure in a box.
    bool fileWritten(const QString& path, const QString& error);
    void updatePageState();

    ReportDocument document_;
    messages::Msg& msg_;
    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget* preview_;
    QLabel* pageLabel_;
    QPushButton* previousButton_;
    QPushButton* nextButton_;
};

} // namespace report
