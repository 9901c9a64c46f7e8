#pragma once

#include "PayeeImport.h"

#include <QString>

#include <functional>
#include <utility>

class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace exporting {

// The payee page's import: asks for a CSV or text file and its encoding, reads the
// names, shows which will be added and adds them on Yes in one transaction. Lines the
// encoding cannot read are named and nothing is added.
class PayeeImportCommand {
public:
    PayeeImportCommand(store::Session& session, messages::Msg& msg);

    // Answers whether names were added.
    bool run(QWidget* parent);
    bool importFile(const QString& path, TextEncoding encoding);

    // The file dialog, replaceable for tests: the file and its encoding, or an empty path.
    std::function<std::pair<QString, TextEncoding>(QWidget* parent)> askFile;

private:
    store::Session& session_;
    messages::Msg& msg_;
};

} // namespace exporting
