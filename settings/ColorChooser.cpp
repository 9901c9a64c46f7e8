#include "ColorChooser.h"

#include <QColorDialog>

namespace settings {

qint64 colorValue(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor colorFromValue(qint64 value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

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
