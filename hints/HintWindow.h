#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace hints {

// Colour values are 24-bit integers with red in the lowest byte, then green, then blue.
QColor colourFromValue(qint64 value);
qint64 valueOfColour(const QColor& colour);

// Background of every button of the window, and of cmd編集 while editing is off.
inline constexpr qint64 kButtonColour = 13488593;
// Background of cmd編集 while editing is on.
inline constexpr qint64 kEditingColour = 8421631;

// The hint window: shows, edits, saves, clears and deletes the user's own hint text of
// one hint button. Its three labels are its key; they are set only when it is loaded.
// A top-level window without owner that does not block the main window.
class HintWindow : public QWidget {
    Q_OBJECT
public:
    HintWindow(store::Session& session, messages::Msg& msg);
    ~HintWindow() override;

    static QString captionText();
    // Shown in the empty text box; never stored.
    static QString invitationText();

    // Loads the window for a key: labels, a fresh text box with editing off, the stored
    // text; then shows it with the focus in the text box.
    void load(const QString& formName, const QString& controlName, const QString& formTitle);

    void ReadHint();
    // Both answer whether the work file now holds what was asked for.
    bool EntryHint();
    bool Deleteヒント();

    void onEditClicked();
    void onSaveClicked();
    void onDeleteClicked();
    void onClearClicked();
    void onCloseClicked();

    bool editing() const;
    // The text as it is stored: an unchanged loaded text exactly as read, an edited one
    // with the line breaks of the loaded text.
    QString contentsForStoring() const;

protected:
    // Esc closes the window as 閉じる does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* makeButton(const QString& name, const QString& caption);
    void setEditing(bool on);
    QString shownText() const;
    bool keyMissing() const;

    store::Session& session_;
    messages::Msg& msg_;
    QLabel* lblFormName_;
    QLabel* lblCtlName_;
    QLabel* lblFormTitle_;
    QPlainTextEdit* txtContents_;
    QPushButton* cmd編集_;
    QPushButton* cmd登録_;
    QPushButton* cmd削除_;
    QPushButton* cmdクリア_;
    QPushButton* cmd閉じる_;
    // What ReadHint put in the box, and the box's text right after it.
    std::optional<QString> loadedText_;
    QString loadedShown_;
};

} // namespace hints
