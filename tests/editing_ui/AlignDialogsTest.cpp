// The Alignment and Margins dialogs on their own: what they show and what they hand back.
#include "editing/ui/AlignForm.h"
#include "editing/ui/MarginsForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QString fixed4(double v) { return QLocale().toString(v, 'f', 4); }
QLineEdit *edit(QWidget &w, const char *name) { return w.findChild<QLineEdit *>(QLatin1String(name)); }
QRadioButton *unit(QWidget &w, const char *text)
{
    for (QRadioButton *b : w.findChild<QGroupBox *>(QStringLiteral("UnitsRadioGroup"))->findChildren<QRadioButton *>())
        if (b->text() == QLatin1String(text))
            return b;
    return nullptr;
}
} // namespace

TEST(MarginForm, ShowsTheMarginsInTheChosenUnit)
{
    editing::TMarginForm inches(nullptr, false, {8, 8, 8, 8});
    EXPECT_EQ(edit(inches, "LeftEdit")->text(), fixed4(0.08));
    EXPECT_TRUE(unit(inches, "&inch")->isChecked());
    editing::TMarginForm mm(nullptr, true, {8, 0, -8, 150});
    EXPECT_EQ(edit(mm, "LeftEdit")->text(), fixed4(2.032));
    EXPECT_EQ(edit(mm, "RightEdit")->text(), fixed4(0));
    EXPECT_EQ(edit(mm, "TopEdit")->text(), fixed4(-2.032)) << "negative margins keep their sign";
    EXPECT_TRUE(unit(mm, "&mm")->isChecked());
}

TEST(MarginForm, ReadsTheNumbersInTheUnitSelectedAtOk)
{
    editing::TMarginForm f(nullptr, false, {8, 8, 8, 8});
    edit(f, "LeftEdit")->setText(QLocale().toString(1.5, 'f', 1));
    f.OkBtnClick();
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(f.values()[0], 150);
    EXPECT_EQ(f.values()[1], 8);

    editing::TMarginForm g(nullptr, false, {8, 8, 8, 8});
    unit(g, "&mm")->setChecked(true); // the shown 0.0800 is now read as millimetres
    edit(g, "TopEdit")->setText(QStringLiteral("10"));
    g.OkBtnClick();
    EXPECT_EQ(g.values()[0], 0);
    EXPECT_EQ(g.values()[2], 39);
}

// A margin that is no number is refused with a message naming it; letters cannot be typed.
TEST(MarginForm, RefusesEmptyAndLetters)
{
    for (const char *text : {"", "abc"}) {
        editing::TMarginForm f(nullptr, false, {8, 8, 8, 8});
        edit(f, "TopEdit")->setText(QStringLiteral("0.5"));
        edit(f, "BottomEdit")->setText(QLatin1String(text));
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << box->text();
                box->accept();
            }
        });
        f.OkBtnClick();
        EXPECT_EQ(seen, QStringList{QStringLiteral("Please enter valid margin settings before clicking OK.\n\n"
                                                   "The bottom margin must be a number.")})
            << text;
        EXPECT_NE(f.result(), QDialog::Accepted);
        EXPECT_EQ(f.values(), (std::array<int32_t, 4>{8, 8, 8, 8})) << "a refused OK hands back nothing";
    }

    editing::TMarginForm f(nullptr, false, {8, 8, 8, 8});
    QLineEdit *left = edit(f, "LeftEdit");
    left->clear();
    QTest::keyClicks(left, QStringLiteral("-x1") + QLocale().decimalPoint() + QStringLiteral("y5"));
    EXPECT_EQ(left->text(), QStringLiteral("-1") + QLocale().decimalPoint() + QStringLiteral("5"));
}

TEST(AlignForm, ChoicesMapOntoOperationsInOrder)
{
    editing::TAlignForm none(nullptr, true);
    EXPECT_TRUE(none.operations().isEmpty()) << "every group starts at No Change";

    editing::TAlignForm all(nullptr, true);
    all.setItemIndex(QStringLiteral("HGroup"), 3);
    all.setItemIndex(QStringLiteral("VGroup"), 1);
    all.setItemIndex(QStringLiteral("HGroupGroup"), 4);
    all.setItemIndex(QStringLiteral("VGroupGroup"), 2);
    EXPECT_EQ(all.operations(), (QVector<int>{3, 4, 10, 12}));

    editing::TAlignForm single(nullptr, false);
    EXPECT_FALSE(single.findChild<QGroupBox *>(QStringLiteral("HGroupGroup"))->isEnabled());
    single.setItemIndex(QStringLiteral("VGroup"), 2);
    single.setItemIndex(QStringLiteral("HGroupGroup"), 1);
    EXPECT_EQ(single.operations(), (QVector<int>{5})) << "group choices count only with several objects";
}
