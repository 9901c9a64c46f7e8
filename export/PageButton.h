#pragma once

class QPushButton;
class QString;
class QWidget;

namespace exporting {

// Adds a command button to a page's button column right after the button named `after`,
// next in the tab order too. Nothing when the page has no such button in a box layout.
QPushButton* insertCommandButton(QWidget* page, const QString& after, const QString& name, const QString& caption);

} // namespace exporting
