#include "ColorChooser.h"

#include <QColorDialog>

namespace settings {

qint64 ShowColorDialog(QWidget* owner)
{
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::white));
    // Qt's own dialog, not a platform one, so that the custom colours above are the ones shown.
    QColorDialog dialog(QColor(Qt::black), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return -1;
    return colorValue(dialog.selectedColor());
}

} // namespace settings
