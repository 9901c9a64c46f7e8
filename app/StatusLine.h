#pragma once

#include <QWidget>

#include <chrono>
#include <functional>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;
class QPushButton;
class QTimer;

// The main window's status line. It shows, in this order of precedence:
// - the last command's message: what it did, with the button フォルダを開く when it wrote
//   a file, or 元に戻す while the destructive command it names can be undone;
// - else the standing state of the book (the month sheet holds unregistered changes).
// A new message replaces the one on show; dropMessage() lets the next command's effects
// retire a message that no longer describes the book. A message without the undo offer
// fades once it is older than fadeAfter() (a minute), and the standing state returns.
// A status tip (a menu command under the pointer) shows in place of the line's text while
// it lasts, in a label of its own; the message and its age stay as they were beneath it.
class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    // A message about the command just done; with offerUndo the button 元に戻す beside
    // it, which lasts until the offer is withdrawn (the message then does not fade).
    void showText(const QString& text, bool offerUndo);
    // A message about a file just written; the button beside it opens the file's folder.
    void showFileWritten(const QString& text, const QString& filePath);
    // The current message goes; the standing state shows.
    void clear();
    // The book changed after the message: it goes, unless it offers an undo (which lasts
    // until the offer is withdrawn).
    void dropMessage()
    {
        if (!undoOffered())
            clear();
    }
    // The message goes when it is still `text` (and offers no undo); another message stays.
    void withdraw(const QString& text);
    // The text shown whenever no message is (empty for none).
    void setStanding(const QString& text);
    // A status tip over the line's text; an empty tip uncovers the text again.
    void showTip(const QString& tip);
    QString tip() const;

    bool undoOffered() const;
    // What the line shows now, and whether a message (rather than the standing state) it is.
    QString text() const;
    bool showsMessage() const { return hasMessage_; }

    std::chrono::milliseconds fadeAfter() const { return fadeAfter_; }
    void setFadeAfter(std::chrono::milliseconds age);

    // Opens a folder in the desktop's file manager; replaceable for tests.
    std::function<void(const QString& folder)> openFolder;

signals:
    void undoRequested();

private:
    void present(const QString& text, bool offerUndo, const QString& filePath);
    void startFading();
    void showStanding();

    QLabel* text_;
    QLabel* tip_;
    QPushButton* undo_;
    QPushButton* folder_;
    QGraphicsOpacityEffect* opacity_;
    QPropertyAnimation* fade_;
    QTimer* age_;
    QString standing_;
    QString filePath_;
    bool hasMessage_ = false;
    std::chrono::milliseconds fadeAfter_ = std::chrono::minutes(1);
};

