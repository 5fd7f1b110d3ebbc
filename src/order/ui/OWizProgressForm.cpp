#include "order/ui/OWizProgressForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace order::ui {

TOWProgressForm::TOWProgressForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("OWProgressForm"));
    auto *layout = new QVBoxLayout(this);
    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setAlignment(Qt::AlignCenter);
    QFont f = TitleLabel->font();
    f.setBold(true);
    TitleLabel->setFont(f);
    layout->addWidget(TitleLabel);

    auto *row = new QHBoxLayout;
    auto *statusCaption = new QLabel(QStringLiteral("Status:"), this);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setMinimumWidth(340);
    row->addWidget(statusCaption);
    row->addWidget(StatusLabel, 1);
    layout->addLayout(row);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    layout->addWidget(ProgressBar);

    AbortBtn = new QPushButton(QStringLiteral("&Abort"), this);
    AbortBtn->setObjectName(QStringLiteral("AbortBtn"));
    layout->addWidget(AbortBtn, 0, Qt::AlignHCenter);
    connect(AbortBtn, &QPushButton::clicked, this, &TOWProgressForm::AbortBtnClick);
}

void TOWProgressForm::Show(const QString &caption, bool showBar, bool showAbort)
{
    setEnabled(true);
    setWindowTitle(caption);
    ProgressBar->setVisible(showBar);
    AbortBtn->setVisible(showAbort);
    adjustSize();
    if (const QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    setModal(false);
    show();
    raise();
}

void TOWProgressForm::SetTitle(const QString &text)
{
    TitleLabel->setText(text);
    repaint();
}

void TOWProgressForm::SetStatus(const QString &text)
{
    StatusLabel->setText(text);
    repaint();
}

void TOWProgressForm::AbortBtnClick()
{
    SetStatus(QStringLiteral("Aborting...  (This may take a minute)."));
    setEnabled(false);
    emit aborted();
}

void TOWProgressForm::closeEvent(QCloseEvent *e)
{
    // The window has no close button; it goes away when its work ends.
    e->ignore();
}

void TOWProgressForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape)
        return; // not a way to close it either
    QDialog::keyPressEvent(e);
}

} // namespace order::ui
