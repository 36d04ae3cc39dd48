// The picture corner of the pal information dialog: the pal's picture with its longer side
// at 120 pixels, or the face icon in its sunken frame.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include "ui/picture_loader.h"

inline constexpr int kPalPictureSide = 120;

class CPalPictureBox : public QWidget {
public:
    explicit CPalPictureBox(QWidget* parent = nullptr);

    // Loads the picture file; false (and nothing drawn) when it is no readable picture.
    bool LoadPicture(const QString& path);
    // Shows a loaded picture; false (and nothing drawn) for a null one.
    bool ShowPicture(const LoadedPicture& loaded);
    void SetFaceIcon(int number);
    // Picture mode draws the loaded picture and hides the icon frame; icon mode the reverse.
    void SetUsePicture(bool usePicture);

    bool HasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_iconFrame;
    QPixmap m_picture;  // already at its drawn size
    bool m_bUsePicture = false;
};
