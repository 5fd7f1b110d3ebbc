// The layout dialog's number fields: counts take digits, lengths numbers of 0 or more, and a
// refused OK names the field and puts the cursor in it.
#include "layout/LayoutFile.h"
#include "layout/ui/EditLayoutForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using layout::LayoutRecord;
using layout::TEditLayoutForm;

TEST(EditLayoutFields, LettersCannotBeTypedAndTheBadFieldIsNamed)
{
    LayoutRecord r;
    r.setWidth(350);
    r.setHeight(200);
    r.setRows(5);
    r.setColumns(2);
    TEditLayoutForm form(nullptr, false, r);
    form.show();
    const QString point = QLocale().decimalPoint();
    const struct {
        const char *edit, *typed;
        QString kept;
    } cases[] = {
        {"RowsEdit", "1x2", "12"},
        {"ColumnsEdit", "-3", "3"},
        {"WidthEdit", "3a", "3"},
        {"TopMarginEdit", "-0", "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.edit);
        auto *e = form.findChild<QLineEdit *>(QLatin1String(c.edit));
        ASSERT_NE(e, nullptr);
        e->clear();
        QTest::keyClicks(e, QLatin1String(c.typed));
        EXPECT_EQ(e->text(), c.kept);
    }

    // An empty gap is still no number: the message says which, and the cursor goes there.
    auto *gap = form.findChild<QLineEdit *>(QStringLiteral("ColumnSpaceEdit"));
    gap->clear();
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    form.findChild<QPushButton *>(QStringLiteral("OkBtn"))->click();
    EXPECT_EQ(shown, layout::invalidLayoutMessage(layout::LayoutField::ColumnSpace));
    EXPECT_TRUE(shown.contains(QLatin1String("space between columns")));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), gap);
}
