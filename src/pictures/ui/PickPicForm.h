#pragma once
// "Pick Graphic": loads a picture file, shows it, and offers a few edits on bitmaps
// (quarter turn, the two mirrors and crop). Used for the picture of a graphic object and
// for the background of a region.

#include "platform/Picture.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

class QCheckBox;
class QFileDialog;
class QLabel;
class QPushButton;

namespace pictures {

// The stretched view of the dialog's picture.
class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget *parent = nullptr);
    void setPicture(const plat::Picture &picture);
    const plat::Picture &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    plat::Picture m_picture;
    QImage m_image;
};

// The white framed panel holding the view and the crop rectangle. A click on the crop
// rectangle attaches grab squares to it (move it by its inside, size it by the squares,
// grid step 1, kept inside the panel); a click anywhere else detaches them.
class CropPanel : public QWidget {
    Q_OBJECT
public:
    explicit CropPanel(QWidget *parent = nullptr);
    QWidget *cropRect() const { return m_crop; }
    PictureView *view() const { return m_view; }
    bool handlesAttached() const { return m_attached; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    // Which edges a drag moves: bit 0 left, 1 top, 2 right, 3 bottom; 15 moves it whole.
    int zoneAt(QPoint p) const;
    QRect grabSquare(int zone) const;

    PictureView *m_view;
    QWidget *m_crop;
    bool m_attached = false;
    int m_dragZone = 0;
    QPoint m_dragStart;
    QRect m_startRect;
};

class TPickPicForm : public QDialog {
    Q_OBJECT
public:
    // showClear: whether the Clear button is offered; reduceColors: loaded pictures come
    // with at most 256 colours; folder: where Load starts.
    TPickPicForm(QWidget *parent, bool showClear, bool reduceColors, const QString &folder);

    void setPicture(const plat::Picture &picture);
    const plat::Picture &picture() const { return m_image->picture(); }

    // Enables the buttons for the picture held.
    void refresh();

    // The edits, also behind the buttons.
    void loadFile(const QString &fileName);
    bool saveFile(const QString &fileName) const;
    void LoadBtnClick();
    void SaveBtnClick();
    void ClearBtnClick();
    void RotateBtnClick();
    void MirrorHorizontalBtnClick();
    void MirrorVerticalBtnClick();
    void CropBtnClick();

    // The open dialog's file name filter.
    static QString openFilter();

private:
    void showPreview(const QString &path);

    bool m_reduceColors;
    QString m_folder;
    CropPanel *m_panel;
    PictureView *m_image;
    QPushButton *m_load, *m_save, *m_clear, *m_rotate, *m_mirrorH, *m_mirrorV, *m_crop;
    // The open dialog's preview pane (while the dialog is open).
    QLabel *m_previewPane = nullptr;
    QCheckBox *m_showPreview = nullptr;
};

// Runs the picture dialog on `current`: in background mode with Clear and starting in the
// program folder's Background folder, otherwise without Clear and starting in `folder`
// (the graphic folder option). Returns the dialog's picture when it was closed with OK
// (*accepted true; a null picture after Clear), else `current` (*accepted false).
plat::Picture pickPicture(QWidget *parent, const plat::Picture &current, bool backgroundMode, bool *accepted,
                          bool reduceColors = true, const QString &folder = QString());

} // namespace pictures
