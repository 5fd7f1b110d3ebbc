#pragma once
// "Variable Text": edits the list of texts of a text object, one per element position.
// Items can be reordered by dragging and are deleted by dropping them outside the list.

#include <QDialog>
#include <QListWidget>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vardata {

// A list whose items move by drag and drop inside it and are removed when dropped
// anywhere else.
class DragDropList : public QListWidget {
    Q_OBJECT
public:
    explicit DragDropList(QWidget *parent = nullptr);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent *e) override;

private:
    bool m_droppedInside = false;
};

class TVarTextForm : public QDialog {
    Q_OBJECT
public:
    TVarTextForm(const QStringList &items, const QStringList &customTexts, QWidget *parent = nullptr);
    QStringList items() const;

    // Enables AddBtn while the memo holds text and RemoveBtn while an item is selected;
    // run on every memo change and every 500 ms.
    void refreshButtons();

private:
    void AddBtnClick();
    void RemoveBtnClick();
    void PickTextBtnClick();

    QStringList m_customTexts;
    DragDropList *m_list;
    QPlainTextEdit *m_memo;
    QPushButton *m_add;
    QPushButton *m_remove;
    QTimer *m_timer;
};

} // namespace vardata
