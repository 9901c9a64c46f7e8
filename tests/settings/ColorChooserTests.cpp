#include "ColorChooser.h"
#include "ColorDialogAnswer.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(ColorChooser, ValueHoldsRedInTheLowByteThenGreenThenBlue)
{
    EXPECT_EQ(colorValue(QColor(255, 0, 0)), 255);
    EXPECT_EQ(colorValue(QColor(0, 255, 0)), 65280);
    EXPECT_EQ(colorValue(QColor(0, 0, 255)), 16711680);
    EXPECT_EQ(colorValue(QColor(Qt::white)), 16777215);
    EXPECT_EQ(colorValue(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(colorFromValue(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(colorFromValue(0), QColor(Qt::black));
    // Only the three colour bytes count.
    EXPECT_EQ(colorFromValue(0x7f000000 | 255), QColor(255, 0, 0));
}

TEST(ColorChooser, DialogAnswersTheChosenColourOrMinusOneAndStartsWithWhiteCustomColoursEachTime)
{
    struct Opening {
        QColor chosen; // invalid: cancel
        qint64 expected;
    };
    const Opening openings[] = {{QColor(255, 0, 0), 255}, {QColor(0, 255, 0), 65280}, {QColor(0, 0, 255), 16711680}, {QColor(), -1}};
    int opened = 0;
    for (const Opening& opening : openings) {
        bool customAllWhite = false;
        QColor startedOn;
        answerNextColorDialog([&](QColorDialog& dialog) {
            ++opened;
            customAllWhite = true;
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                customAllWhite = customAllWhite && QColorDialog::customColor(i) == QColor(Qt::white);
            startedOn = dialog.currentColor();
            // The user defines custom colours; the next opening must not show them.
            QColorDialog::setCustomColor(0, Qt::magenta);
            QColorDialog::setCustomColor(15, Qt::darkGreen);
            if (opening.chosen.isValid()) {
                dialog.setCurrentColor(opening.chosen);
                dialog.accept();
            } else {
                dialog.setCurrentColor(Qt::yellow);
                dialog.reject();
            }
        });
        EXPECT_EQ(ShowColorDialog(nullptr), opening.expected);
        EXPECT_TRUE(customAllWhite);
        EXPECT_EQ(startedOn, QColor(Qt::black));
    }
    EXPECT_EQ(opened, 4);
    EXPECT_EQ(QColorDialog::customCount(), 16);
}
