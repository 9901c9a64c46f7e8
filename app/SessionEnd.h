#pragma once

class MainWindow;
class TerminationSignals;

// Ties the end of the user's session to the main window: the system's signals close it
// without questions (MainWindow::closeWithoutQuestions), and the session manager's
// commit-data request asks about the sheet's unregistered changes first; キャンセル there
// asks the session manager not to end the session.
void endWithTheSession(MainWindow& window, TerminationSignals& systemSignals);
