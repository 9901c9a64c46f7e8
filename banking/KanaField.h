#pragma once

class QLineEdit;

namespace banking {

// Sets up a field of bank details. A kana field shows its text in the banks' half-width
// form once left (toBankText; a character the banks cannot take stays for the check to
// name), in a face of fixed width as the bank's records hold it, with the input method
// switched on while it has the focus. A field of digits has the input method off and asks
// for digits. Nothing limits the length: a value too long is refused by the check with its
// field named, never cut.
void setUpBankField(QLineEdit* field, bool kana);

} // namespace banking
