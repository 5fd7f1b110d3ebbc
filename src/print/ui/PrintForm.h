#pragma once
// The print dialog: where on the first sheet to start, how many elements or sheets to
// print and which side. Shown a second time, turned into the instructions for putting the
// printed sheets back into the printer for the second side.

#include "print/PrintJob.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QSpinBox;
class QWidget;

namespace print {

class TPrintForm : public QDialog {
    Q_OBJECT
public:
    TPrintForm(int recordCount, int perSheet, QWidget *parent = nullptr);

    QLineEdit *StartEdit = nullptr;
    QSpinBox *StartUpDown = nullptr;
    QLineEdit *QtyEdit = nullptr;
    QRadioButton *IndividualRadio = nullptr;
    QRadioButton *PagesRadio = nullptr;
    QWidget *SidePanel = nullptr;
    QComboBox *SideCombo = nullptr;
    QPushButton *AllInDBBtn = nullptr;
    QGroupBox *OptionsGroup = nullptr;
    QGroupBox *InstructionsGroup = nullptr;
    QPlainTextEdit *TopFlipMemo = nullptr;
    QPlainTextEdit *SideFlipMemo = nullptr;
    QPlainTextEdit *SingleSideMemo = nullptr;
    QWidget *FlipPanel = nullptr;
    QCheckBox *FlipCheck = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *HelpBtn = nullptr;

    // Shows a failed check; a message box unless replaced (tests).
    std::function<void(const QString &)> showError;

    // Hides the options and shows the instructions for the second side: the flip box for
    // a flat card only, the top-bottom memo or the left-right memo by the card's fold.
    void ShowInstructions(int sideFold, bool flat);

    // Values for the job, with the fallbacks of unconvertible fields.
    int start() const;
    int quantity() const;
    SideChoice side() const;

    void OkBtnClick();
    void AllInDBBtnClick();
    void FlipCheckClick();

    static QString TopFlipText();
    static QString SideFlipText();
    static QString SingleSideText();

private:
    int m_recordCount;
    int m_perSheet;
};

} // namespace print
