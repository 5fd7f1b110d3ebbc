#include "app/ui/CardOpenDialog.h"

#include "editing/DesignPreview.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace app {

CardOpenDialog::CardOpenDialog(QWidget *parent, const QString &folder)
    : QFileDialog(parent, QStringLiteral("Open"), folder, QStringLiteral("Business Cards (*.bcp);;Templates (*.cct)"))
{
    setObjectName(QStringLiteral("CardOpenDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("PreviewPanel"));
    m_preview->setFixedSize(180, 180);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(m_preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    connect(this, &QFileDialog::currentChanged, this, &CardOpenDialog::showPreviewOf);
}

void CardOpenDialog::showPreviewOf(const QString &file)
{
    const QImage image = QFileInfo(file).isFile() ? editing::renderDesignPreview(file, m_preview->size()) : QImage();
    if (image.isNull()) {
        m_preview->setPixmap(QPixmap());
        m_preview->setText(QStringLiteral("No preview"));
    } else {
        m_preview->setPixmap(QPixmap::fromImage(image));
    }
}

} // namespace app
