#include "ui/dialogs/pal_picture_box.h"

#include <QPainter>

#include "core/picture_fit.h"
#include "ui/face_icons.h"

namespace {

constexpr int kIconSize = 48;

}  // namespace

CPalPictureBox::CPalPictureBox(QWidget* parent) : QWidget(parent), m_iconFrame(new QLabel(this)) {
    setFixedSize(kPalPictureSide, kPalPictureSide);
    m_iconFrame->setObjectName(QStringLiteral("faceIcon"));
    m_iconFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_iconFrame->setAlignment(Qt::AlignCenter);
    const int frameSide = kIconSize + 2 * m_iconFrame->frameWidth() + 4;
    m_iconFrame->setGeometry((kPalPictureSide - frameSide) / 2, (kPalPictureSide - frameSide) / 2, frameSide,
                             frameSide);
}

bool CPalPictureBox::LoadPicture(const QString& path) { return ShowPicture(LoadPictureFile(path)); }

bool CPalPictureBox::ShowPicture(const LoadedPicture& loaded) {
    m_picture = QPixmap();
    if (!loaded.image.isNull()) {
        const PictureSize size =
            FitPictureToBox(loaded.sourceSize.width(), loaded.sourceSize.height(), kPalPictureSide);
        if (size.width > 0 && size.height > 0)
            m_picture = QPixmap::fromImage(
                loaded.image.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    update();
    return HasPicture();
}

void CPalPictureBox::SetFaceIcon(int number) { m_iconFrame->setPixmap(FaceIcon(number, kIconSize)); }

void CPalPictureBox::SetUsePicture(bool usePicture) {
    m_bUsePicture = usePicture;
    m_iconFrame->setVisible(!usePicture);
    update();
}

void CPalPictureBox::paintEvent(QPaintEvent*) {
    if (!m_bUsePicture || m_picture.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
