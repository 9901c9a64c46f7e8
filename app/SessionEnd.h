#pragma once

class FrmQuorel1;
class TerminationSignals;

// Ties the end of the user's session to the main window: the system's signals close it
// without questions (FrmQuorel1::closeWithoutQuestions), and the session manager's
// commit-data request asks about the sheet's unregistered changes first; キャンセル there
// asks the session manager not to end the session.
void endWithTheSession(FrmQuorel1& window, TerminationSignals& systemSignals);
