#pragma once
// The Options dialog: five pages of controls filled from the options record it is given.
// The record changes only when the dialog is closed with OK.

#include "app/AppOptions.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace app {

class TConfigForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 119;

    TConfigForm(QWidget *owner, TAppOptions &options);

    // Asks a Yes/No question; true for Yes. Replaceable so the dialog runs unattended.
    std::function<bool(const QString &question)> confirm;
    // Picks a folder starting at the given one; an empty result means cancelled.
    std::function<QString(const QString &start)> pickFolder;
    // Shows an input error (an error box); the dialog stays open.
    std::function<void(const QString &message)> showError;

signals:
    // The Help button asks for the dialog's help topic.
    void helpRequested(int context);

private:
    void FormCreate();
    void OkBtnClick();
    void CustomFieldMemoChange();
    void AddBtnClick();
    void NewBtnClick();
    void DeleteBtnClick();
    void browseInto(QLineEdit *edit);

    QWidget *buildGeneralPage();
    QWidget *buildGridPage();
    QWidget *buildPrintingPage();
    QWidget *buildCustomTextPage();
    QWidget *buildFoldersPage();

    TAppOptions &m_options;

    QTabWidget *m_pages = nullptr;
    QCheckBox *m_promptDelete = nullptr, *m_returnSelect = nullptr, *m_metricUnits = nullptr,
              *m_reduceGraphics = nullptr, *m_showDesignWizard = nullptr, *m_saveProperties = nullptr,
              *m_displayGrid = nullptr, *m_snapToGrid = nullptr, *m_cropMarks = nullptr,
              *m_setOrientation = nullptr;
    QLineEdit *m_gridSize = nullptr, *m_graphicsFolder = nullptr, *m_documentsFolder = nullptr;
    QListWidget *m_customList = nullptr;
    QPlainTextEdit *m_customMemo = nullptr;
    QPushButton *m_addBtn = nullptr;
};

} // namespace app
