#pragma once

#include <QString>

#include <functional>

class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace exchange {

// The payee page's 出力: the payee master in its order with each payee's payment rule and
// bank details as a CSV file (payeeListCsv) that the page's 取込 reads back, rules and
// details included. Shift_JIS
// (CP932) when every name has a code there, else UTF-8 with a byte-order mark; written
// whole or not at all.
class PayeeExportCommand {
public:
    PayeeExportCommand(store::Session& session, messages::Msg& msg);

    // Answers whether a file was written.
    bool run(QWidget* parent);

    // The file dialog, replaceable for tests: the path, or an empty text for cancel.
    std::function<QString(const QString& suggested, QWidget* parent)> askPath;
    // Told the path of each file written whole.
    std::function<void(const QString& path)> written;

private:
    store::Session& session_;
    messages::Msg& msg_;
};

} // namespace exchange
