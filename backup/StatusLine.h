#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace backup {

// The main window's status line: a short text and, while the last destructive command
// can be undone, the button 元に戻す.
class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);
    // Shows a text; with offerUndo the button 元に戻す beside it.
    void showText(const QString& text, bool offerUndo);
    void clear();
    bool undoOffered() const;

signals:
    void undoRequested();

private:
    QLabel* text_;
    QPushButton* undo_;
};

} // namespace backup
