#include "KanaField.h"

#include "BankKana.h"
#include "InputMethodSwitch.h"

#include <QEvent>
#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace banking {

namespace {

constexpr Qt::InputMethodHints kDigits = Qt::ImhDigitsOnly | Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText;
// A window just opened may not be the input method's yet when its first field takes the
// focus; the state is asked for once more after this long.
constexpr int kAskAgainMs = 300;

// Says the field's input method state again a moment after each focus-in.
class AskAgainOnFocus : public QObject {
public:
    AskAgainOnFocus(QLineEdit* field, bool kana)
        : QObject(field)
        , kana_(kana)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            QPointer<QLineEdit> field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(kAskAgainMs, this, [field, kana = kana_] {
                if (field && field->hasFocus())
                    InputMethodSwitch::of(field)->setWanted(kana);
            });
        }
        return false;
    }

private:
    bool kana_;
};

} // namespace

void setUpBankField(QLineEdit* field, bool kana)
{
    if (kana) {
        field->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
        QObject::connect(field, &QLineEdit::editingFinished, field, [field] {
            const QString converted = toBankText(field->text().trimmed()).text.trimmed();
            if (converted != field->text())
                field->setText(converted);
        });
    } else {
        field->setInputMethodHints(kDigits);
    }
    InputMethodSwitch::of(field)->setWanted(kana);
    new AskAgainOnFocus(field, kana);
}

} // namespace banking
