#include "ColorChooser.h"
#include "ColorDialogAnswer.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(ColorChooser, ValueHoldsRedInTheLowByteThenGreenThenBlue)
{
    EXPECT_EQ(colorValue(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(colorValue(QColor(Qt::white)), 16777215);
    EXPECT_EQ(colorFromLong(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(colorFromLong(0x7f000000 | 255), QColor(Qt::black)) << "the swatch shows what the report prints";
}

TEST(ColorChooser, DialogAnswersTheChosenColourOrMinusOneAndStartsWithWhiteCustomColoursEachTime)
{
    const std::pair<QColor, qint64> openings[] = {{QColor(255, 0, 0), 255}, {QColor(0, 255, 0), 65280}, {QColor(0, 0, 255), 16711680}, {QColor(), -1}};
    for (const auto& [chosen, expected] : openings) {
        bool customAllWhite = true;
        QColor startedOn;
        answerNextColorDialog([&, chosen = chosen](QColorDialog& dialog) {
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                customAllWhite = customAllWhite && QColorDialog::customColor(i) == QColor(Qt::white);
            startedOn = dialog.currentColor();
            // Custom colours defined now must not show at the next opening.
            QColorDialog::setCustomColor(0, Qt::magenta);
            dialog.setCurrentColor(chosen.isValid() ? chosen : QColor(Qt::yellow));
            chosen.isValid() ? dialog.accept() : dialog.reject();
        });
        EXPECT_EQ(ShowColorDialog(nullptr), expected);
        EXPECT_TRUE(customAllWhite);
        EXPECT_EQ(startedOn, QColor(Qt::black));
    }
}
