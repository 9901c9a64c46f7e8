#include "SettingsPage.h"

#include "HintButton.h"
#include "Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace settings {

namespace {

QPixmap bannerPixmap()
{
    QPixmap pixmap(468, 60);
    pixmap.fill(QColor(0x1f, 0x4e, 0x8c));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"), 16, QFont::Bold);
    painter.setFont(font);
    painter.drawText(pixmap.rect().adjusted(16, 0, -16, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TOVARK フリー掲示板"));
    return pixmap;
}

} // namespace

SettingsPage::SettingsPage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , pic罫線色_(new QFrame(this))
    , num白紙罫線色_(new QLineEdit(this))
    , chk支払先自動登録_(new QCheckBox(QStringLiteral("支払先の自動登録"), this))
    , cmb年号_(new QComboBox(this))
    , image2_(new QLabel(this))
{
    pic罫線色_->setObjectName(QStringLiteral("Pic罫線色"));
    pic罫線色_->setToolTip(QStringLiteral("ここをダブルクリックして色を指定"));
    pic罫線色_->setFrameShape(QFrame::Box);
    pic罫線色_->setAutoFillBackground(true);
    pic罫線色_->setFixedSize(twipsToPixels(900), twipsToPixels(330));
    pic罫線色_->installEventFilter(this);
    num白紙罫線色_->setObjectName(QStringLiteral("num白紙罫線色"));
    num白紙罫線色_->setVisible(false);
    chk支払先自動登録_->setObjectName(QStringLiteral("Chk支払先自動登録"));
    cmb年号_->setObjectName(QStringLiteral("cmb年号"));
    cmb年号_->installEventFilter(this);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("印刷時の罫線の色"), this), 0, 0);
    form->addWidget(pic罫線色_, 0, 1, Qt::AlignLeft);
    form->addWidget(num白紙罫線色_, 0, 2);
    form->addWidget(chk支払先自動登録_, 1, 0, 1, 2);
    form->addWidget(new QLabel(QStringLiteral("年   号"), this), 2, 0);
    form->addWidget(cmb年号_, 2, 1, Qt::AlignLeft);

    auto* buttons = new QVBoxLayout;
    const std::pair<const char*, const char*> captions[] = {{"cmd設定読込", "読込"}, {"cmd設定登録", "登録"}, {"cmd設定クリア", "クリア"}, {"cmd設定削除", "削除"}};
    for (const auto& [name, caption] : captions) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* hint = makeHintButton(QStringLiteral("cmdHint2"), this);
    connect(hint, &QPushButton::clicked, this, [this] { emit hintRequested(QStringLiteral("cmdHint2")); });

    auto* settingsRow = new QHBoxLayout;
    settingsRow->addLayout(form);
    settingsRow->addStretch();
    settingsRow->addWidget(hint, 0, Qt::AlignTop);
    settingsRow->addLayout(buttons);

    auto* allDeleteBox = new QGroupBox(this);
    auto* allDeleteRow = new QHBoxLayout(allDeleteBox);
    allDeleteRow->addWidget(new QLabel(QStringLiteral("すべてのデータを削除し初期状態に戻す"), allDeleteBox));
    allDeleteRow->addStretch();
    auto* allDelete = new QPushButton(QStringLiteral("実行"), allDeleteBox);
    allDelete->setObjectName(QStringLiteral("cmd一括削除7"));
    allDeleteRow->addWidget(allDelete);
    connect(allDelete, &QPushButton::clicked, this, &SettingsPage::allDeleteRequested);

    image2_->setObjectName(QStringLiteral("Image2"));
    image2_->setPixmap(bannerPixmap());
    image2_->setCursor(Qt::PointingHandCursor);
    image2_->installEventFilter(this);

    auto* lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    auto* lblSupport = new QLabel(this);
    lblSupport->setObjectName(QStringLiteral("lblSupport"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settingsRow);
    layout->addWidget(allDeleteBox);
    layout->addWidget(image2_, 0, Qt::AlignLeft);
    layout->addWidget(lblSupport);
    layout->addWidget(lblInfo);
    layout->addStretch();
}

void SettingsPage::Read設定()
{
    // The settings record lands with the settings page; until then the defaults hold.
}

void SettingsPage::FormInit()
{
    cmb年号_->clear();
    cmb年号_->addItem(QStringLiteral("西暦"));
    cmb年号_->addItem(QStringLiteral("和暦"));
    cmb年号_->setCurrentText(context_.session.settings.g年号);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == image2_ && event->type() == QEvent::MouseButtonRelease) {
        emit bannerClicked();
        return true;
    }
    if (watched == cmb年号_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride))
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace settings
