#include "HintWindow.h"

#include "HintStore.h"
#include "Msg.h"
#include "Session.h"
#include "Skip.h"
#include "Twips.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace hints {

namespace {

const QString kTarget = QStringLiteral("ヒント");

QLabel* makeKeyLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void paintButton(QPushButton* button, qint64 value)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colourFromValue(value));
    button->setPalette(palette);
}

} // namespace

QColor colourFromValue(qint64 value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

qint64 valueOfColour(const QColor& colour)
{
    return static_cast<qint64>(colour.red()) | (static_cast<qint64>(colour.green()) << 8) | (static_cast<qint64>(colour.blue()) << 16);
}

HintWindow::HintWindow(store::Session& session, messages::Msg& msg)
    : QWidget(nullptr, Qt::Window)
    , session_(session)
    , msg_(msg)
    , lblFormName_(makeKeyLabel(QStringLiteral("lblFormName"), this))
    , lblCtlName_(makeKeyLabel(QStringLiteral("lblCtlName"), this))
    , lblFormTitle_(makeKeyLabel(QStringLiteral("lblFormTitle"), this))
    , txtContents_(new QPlainTextEdit(this))
    , cmd編集_(makeButton(QStringLiteral("cmd編集"), QStringLiteral("編集")))
    , cmd登録_(makeButton(QStringLiteral("cmd登録"), QStringLiteral("登録")))
    , cmd削除_(makeButton(QStringLiteral("cmd削除"), QStringLiteral("削除")))
    , cmdクリア_(makeButton(QStringLiteral("cmdクリア"), QStringLiteral("クリア")))
    , cmd閉じる_(makeButton(QStringLiteral("cmd閉じる"), QStringLiteral("閉じる")))
{
    setObjectName(QStringLiteral("Hint"));
    setWindowTitle(captionText());
    // Closing this window never ends the program; the main window's close closes it.
    setAttribute(Qt::WA_QuitOnClose, false);

    txtContents_->setObjectName(QStringLiteral("txtContents"));
    txtContents_->setPlaceholderText(invitationText());
    txtContents_->setTabChangesFocus(false);

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(lblFormName_, 1);
    keyRow->addWidget(lblCtlName_, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmd編集_);
    buttonRow->addWidget(cmd登録_);
    buttonRow->addWidget(cmd削除_);
    buttonRow->addWidget(cmdクリア_);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmd閉じる_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(keyRow);
    layout->addWidget(lblFormTitle_);
    layout->addWidget(txtContents_, 1);
    layout->addLayout(buttonRow);
    resize(twipsToPixels(6600), twipsToPixels(4800));

    // A click runs to its end; nothing it throws may leave the event handler. The boxes
    // it shows belong to this window, so answering them leaves this window in front.
    const auto guarded = [this](const QString& what, void (HintWindow::*handler)()) {
        return [this, what, handler] {
            messages::BoxOwnerScope owner(msg_.presenter(), this);
            store::skipOnFailure(what, [&] { (this->*handler)(); });
        };
    };
    connect(cmd編集_, &QPushButton::clicked, this, guarded(QStringLiteral("cmd編集"), &HintWindow::onEditClicked));
    connect(cmd登録_, &QPushButton::clicked, this, guarded(QStringLiteral("cmd登録"), &HintWindow::onSaveClicked));
    connect(cmd削除_, &QPushButton::clicked, this, guarded(QStringLiteral("cmd削除"), &HintWindow::onDeleteClicked));
    connect(cmdクリア_, &QPushButton::clicked, this, guarded(QStringLiteral("cmdクリア"), &HintWindow::onClearClicked));
    connect(cmd閉じる_, &QPushButton::clicked, this, guarded(QStringLiteral("cmd閉じる"), &HintWindow::onCloseClicked));

    setEditing(false);
}

HintWindow::~HintWindow() = default;

QString HintWindow::captionText()
{
    return QStringLiteral("ヒント") + QString(8, QLatin1Char(' '));
}

QString HintWindow::invitationText()
{
    return QStringLiteral("このボタンのヒントはまだありません。「編集」を押して書き込み、「登録」で保存してください。");
}

QPushButton* HintWindow::makeButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    paintButton(button, kButtonColour);
    return button;
}

void HintWindow::load(const QString& formName, const QString& controlName, const QString& formTitle)
{
    lblFormName_->setText(formName);
    lblFormTitle_->setText(formTitle);
    lblCtlName_->setText(controlName);
    // Every load starts from an empty box with editing off, as a freshly made window does.
    txtContents_->clear();
    loadedText_.reset();
    loadedShown_.clear();
    setEditing(false);
    ReadHint();
    show();
    raise();
    activateWindow();
    txtContents_->setFocus();
}

bool HintWindow::keyMissing() const
{
    return lblFormName_->text().isEmpty() || lblCtlName_->text().isEmpty();
}

void HintWindow::ReadHint()
{
    if (keyMissing())
        return;
    const auto text = HintStore(session_.workDb()).read(lblFormName_->text(), lblCtlName_->text());
    if (!text)
        return;
    txtContents_->setPlainText(*text);
    loadedText_ = text;
    loadedShown_ = shownText();
}

bool HintWindow::EntryHint()
{
    if (keyMissing())
        return false;
    const QString contents = contentsForStoring();
    if (!HintStore(session_.workDb()).write(lblFormName_->text(), lblCtlName_->text(), lblFormTitle_->text(), contents))
        return false;
    loadedText_ = contents;
    loadedShown_ = shownText();
    return true;
}

bool HintWindow::Deleteヒント()
{
    if (keyMissing())
        return false;
    // When the delete fails the text stays in the box, so that it is not taken for gone.
    if (!HintStore(session_.workDb()).remove(lblFormName_->text(), lblCtlName_->text()))
        return false;
    txtContents_->clear();
    loadedText_.reset();
    loadedShown_.clear();
    return true;
}

QString HintWindow::shownText() const
{
    // The raw text keeps every character (no-break spaces included); only the block and
    // line separators of the editor become line feeds.
    QString text = txtContents_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QString HintWindow::contentsForStoring() const
{
    const QString shown = shownText();
    if (!loadedText_)
        return shown;
    if (shown == loadedShown_)
        return *loadedText_;
    if (loadedText_->contains(QStringLiteral("\r\n"))) {
        QString text = shown;
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return text;
    }
    return shown;
}

bool HintWindow::editing() const
{
    return valueOfColour(cmd編集_->palette().color(QPalette::Button)) == kEditingColour;
}

void HintWindow::setEditing(bool on)
{
    txtContents_->setReadOnly(!on);
    paintButton(cmd編集_, on ? kEditingColour : kButtonColour);
}

void HintWindow::onEditClicked()
{
    setEditing(valueOfColour(cmd編集_->palette().color(QPalette::Button)) == kButtonColour);
    txtContents_->setFocus();
}

void HintWindow::onSaveClicked()
{
    if (!msg_.ShowMsg(messages::MsgId::登録_確認, kTarget))
        return;
    if (EntryHint())
        msg_.ShowMsg(messages::MsgId::登録_完了, kTarget);
    else
        msg_.ShowMsg(messages::MsgId::登録_失敗, kTarget);
}

void HintWindow::onDeleteClicked()
{
    if (!msg_.ShowMsg(messages::MsgId::削除_ヒント確認, kTarget))
        return;
    if (Deleteヒント())
        msg_.ShowMsg(messages::MsgId::削除_完了, kTarget);
    else
        msg_.ShowMsg(messages::MsgId::削除_失敗, kTarget);
}

void HintWindow::onClearClicked()
{
    txtContents_->clear();
}

void HintWindow::onCloseClicked()
{
    close();
}

void HintWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace hints
