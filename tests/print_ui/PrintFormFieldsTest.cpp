// The print dialog's number fields take digits only; what they hold is checked on OK.
#include "print/ui/PrintForm.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using print::TPrintForm;

TEST(PrintFormFields, LettersCannotBeTyped)
{
    TPrintForm f(0, 10);
    const struct {
        QLineEdit *edit;
        const char *typed, *kept;
    } cases[] = {
        {f.StartEdit, "x7", "7"},
        {f.QtyEdit, "1e3 ", "13"},
        {f.QtyEdit, "-5", "5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        c.edit->clear();
        QTest::keyClicks(c.edit, QLatin1String(c.typed));
        EXPECT_EQ(c.edit->text(), QLatin1String(c.kept));
    }
}
