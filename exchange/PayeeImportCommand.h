#pragma once

#include "PayeeImport.h"

#include <QString>

#include <functional>
#include <utility>

class QProgressDialog;
class QFile;
class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace exchange {

// The payee page's import: asks for a CSV or text file and its encoding, reads the names
// a block at a time (a file past kMaxImportFileBytes is refused before it is read), shows
// which will be added and which lines are refused, and adds them on Yes in one transaction.
// Reading and adding show a progress dialog with キャンセル once they take a moment;
// キャンセル adds nothing.
class PayeeImportCommand {
public:
    PayeeImportCommand(store::Session& session, messages::Msg& msg);

    // Answers whether names were added.
    bool run(QWidget* parent);
    bool importFile(const QString& path, TextEncoding encoding, QWidget* parent = nullptr);

    // The file dialog, replaceable for tests: the file and its encoding, or an empty path.
    std::function<std::pair<QString, TextEncoding>(QWidget* parent)> askFile;
    // Called at each step of the progress dialog, for tests: they may cancel it there.
    std::function<void(QProgressDialog& dialog)> onProgress;
    // How long a step runs before its progress dialog shows.
    int progressAfterMs = 400;

    // How many refused lines the box names; the rest are counted.
    static constexpr int kRefusedLinesShown = 5;
    // How many new names the question names; the rest are counted.
    static constexpr int kNamesShown = 30;

private:
    // Opens the list, or tells why it cannot be read.
    bool openList(QFile& file, const QString& shownPath);
    void tellImported(qsizetype names, std::size_t rules);

    store::Session& session_;
    messages::Msg& msg_;
};

// "12 行目: 理由" for the first few refused lines, then "ほか n 行" for the rest.
QString refusedLinesText(const QList<RefusedLine>& refused, int shown);

} // namespace exchange
