#include "ReportWindow.h"

#include "Msg.h"
#include "PdfOutput.h"
#include "ReportRenderer.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace report {

namespace {

QPushButton* addButton(QHBoxLayout* row, const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

bool askPrinterWithDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

QString askPdfPathWithDialog(const QString& suggested, QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("PDF保存"), suggested, QStringLiteral("PDF (*.pdf)"));
}

} // namespace

ReportWindow::ReportWindow(ReportDocument document, messages::Msg& msg, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , askPrinter(askPrinterWithDialog)
    , askPdfPath(askPdfPathWithDialog)
    , document_(std::move(document))
    , msg_(msg)
    , printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("rpt支払予定表"));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(document_.name + QStringLiteral(" 印刷プレビュー"));

    printer_->setFullPage(true);
    printer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientationOf(document_), QMarginsF(0, 0, 0, 0)));
    printer_->setDocName(document_.name);

    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { renderDocument(*printer, document_); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &ReportWindow::updatePageState);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeButtons());
    layout->addWidget(preview_, 1);
    fitOnScreen(owner);

    preview_->updatePreview();
    updatePageState();
}

QHBoxLayout* ReportWindow::makeButtons()
{
    auto* buttons = new QHBoxLayout;
    auto* print = addButton(buttons, "cmd印刷", QStringLiteral("印刷"), this);
    auto* pdf = addButton(buttons, "cmdPDF保存", QStringLiteral("PDF保存"), this);
    auto* exportButton = addButton(buttons, "cmd出力", QStringLiteral("Excel・CSV出力"), this);
    auto* zoomIn = addButton(buttons, "cmd拡大", QStringLiteral("拡大"), this);
    auto* zoomOut = addButton(buttons, "cmd縮小", QStringLiteral("縮小"), this);
    previousButton_ = addButton(buttons, "cmd前頁", QStringLiteral("前頁"), this);
    nextButton_ = addButton(buttons, "cmd次頁", QStringLiteral("次頁"), this);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    buttons->addWidget(pageLabel_);
    buttons->addStretch();
    auto* close = addButton(buttons, "cmd閉じる", QStringLiteral("閉じる"), this);

    connect(print, &QPushButton::clicked, this, &ReportWindow::onPrintClicked);
    connect(pdf, &QPushButton::clicked, this, &ReportWindow::onSavePdfClicked);
    connect(exportButton, &QPushButton::clicked, this, &ReportWindow::exportRequested);
    connect(zoomIn, &QPushButton::clicked, preview_, [this] { zoom(true); });
    connect(zoomOut, &QPushButton::clicked, preview_, [this] { zoom(false); });
    connect(previousButton_, &QPushButton::clicked, this, [this] {
        preview_->setCurrentPage(preview_->currentPage() - 1);
        updatePageState();
    });
    connect(nextButton_, &QPushButton::clicked, this, [this] {
        preview_->setCurrentPage(preview_->currentPage() + 1);
        updatePageState();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    return buttons;
}

ReportWindow::~ReportWindow()
{
    // The preview refers to the printer, which as a member goes before the child widgets.
    delete preview_;
}

void ReportWindow::fitOnScreen(QWidget* owner)
{
    // A portrait A4 page wants 760 x 900; a smaller screen gets a smaller window whose
    // frame and title bar stay on the screen too.
    QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 760, 900);
    const int frame = 8;
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight) + frame;
    const QSize size(std::min(760, room.width() - 2 * frame), std::min(900, room.height() - titleBar - frame));
    resize(size);
    const QPoint centre = owner && owner->isVisible() ? owner->frameGeometry().center() : room.center();
    const int x = std::clamp(centre.x() - size.width() / 2, room.left() + frame, std::max(room.left() + frame, room.right() - size.width() - frame));
    const int y = std::clamp(centre.y() - size.height() / 2, room.top() + titleBar, std::max(room.top() + titleBar, room.bottom() - size.height() - frame));
    move(x, y);
}

void ReportWindow::showDocument(ReportDocument document)
{
    document_ = std::move(document);
    setWindowTitle(document_.name + QStringLiteral(" 印刷プレビュー"));
    printer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientationOf(document_), QMarginsF(0, 0, 0, 0)));
    printer_->setDocName(document_.name);
    preview_->updatePreview();
    updatePageState();
}

ReportWindow* ReportWindow::showOnce(ReportDocument document, messages::Msg& msg, QWidget* owner, const QSize& newSize)
{
    if (owner) {
        for (ReportWindow* open : owner->findChildren<ReportWindow*>(Qt::FindDirectChildrenOnly)) {
            if (open->isVisible() && open->document().name == document.name && open->document().month == document.month) {
                open->showDocument(std::move(document));
                open->bringToFront();
                return open;
            }
        }
    }
    auto* window = new ReportWindow(std::move(document), msg, owner);
    if (newSize.isValid())
        window->resize(newSize);
    // A window the user asked for comes to the front with the focus, above its owner.
    window->bringToFront();
    return window;
}

void ReportWindow::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void ReportWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReportWindow::zoom(bool in)
{
    const int page = preview_->currentPage();
    if (in)
        preview_->zoomIn();
    else
        preview_->zoomOut();
    keepPageTopInView(page);
}

void ReportWindow::keepPageTopInView(int page)
{
    auto* view = preview_->findChild<QGraphicsView*>();
    if (!view || !view->scene())
        return;
    // The preview's scene holds one top-level item per page, one below the other.
    std::vector<QGraphicsItem*> pages;
    for (QGraphicsItem* item : view->scene()->items())
        if (!item->parentItem())
            pages.push_back(item);
    std::sort(pages.begin(), pages.end(), [](QGraphicsItem* a, QGraphicsItem* b) { return a->pos().y() < b->pos().y(); });
    if (page < 1 || page > static_cast<int>(pages.size()))
        return;
    const QPoint top = view->mapFromScene(pages[static_cast<size_t>(page - 1)]->pos());
    QScrollBar* bar = view->verticalScrollBar();
    bar->setValue(bar->value() + top.y() - 10);
}

QString ReportWindow::defaultPdfPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString name = document_.month.isValid()
        ? document_.name + QStringLiteral("_") + document_.month.toString(QStringLiteral("yyyy年MM月")) + QStringLiteral(".pdf")
        : document_.name + QStringLiteral(".pdf");
    return QDir(folder).filePath(name);
}

bool ReportWindow::printTo(QPrinter& printer)
{
    // Printing to a file (the print dialog's choice) makes a file like PDF保存 does.
    const QString file = printer.outputFileName();
    if (!file.isEmpty())
        return fileWritten(file, printToFile(printer, document_));
    if (renderDocument(printer, document_))
        return true;
    msg_.ShowMsg(messages::MsgId::印刷_失敗, printer.printerName());
    return false;
}

bool ReportWindow::savePdf(const QString& path)
{
    return fileWritten(path, writePdfFile(path, document_));
}

bool ReportWindow::fileWritten(const QString& path, const QString& error)
{
    if (!error.isEmpty()) {
        qWarning().noquote() << "PDF" << path << "not written:" << error;
        msg_.ShowMsg(messages::MsgId::印刷_ファイル失敗, QDir::toNativeSeparators(path));
        return false;
    }
    emit pdfSaved(path);
    return true;
}

int ReportWindow::currentPage() const
{
    return preview_->currentPage();
}

int ReportWindow::pageCount() const
{
    return preview_->pageCount();
}

void ReportWindow::onPrintClicked()
{
    if (askPrinter && askPrinter(*printer_, this))
        printTo(*printer_);
}

void ReportWindow::onSavePdfClicked()
{
    if (!askPdfPath)
        return;
    QString path = askPdfPath(defaultPdfPath(), this);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    savePdf(path);
}

void ReportWindow::updatePageState()
{
    const int current = preview_->currentPage();
    const int count = preview_->pageCount();
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(current).arg(count));
    previousButton_->setEnabled(current > 1);
    nextButton_->setEnabled(current < count);
}

} // namespace report
