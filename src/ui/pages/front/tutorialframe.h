#pragma once
// TTutorialFrame: what the two tutorial pages have in common. Each shows one
// picture from the skin over the page background, with Exit, Back and Next
// in the bottom row; with SkipTutorial set in the settings file a tutorial
// page passes itself over in the direction it was entered. The pages
// themselves (TFrameTutorial, TFrameTutorial2) only name and place their
// picture.

#include "framework/framebase.h"

#include <QRect>

class TImage;
class TTrifaceBtn;

class TTutorialFrame : public TFrameBase
{
    Q_OBJECT
public:
    ~TTutorialFrame() override;

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();

protected:
    // Builds the page: the background, the picture `pictureName` (its object
    // name and the skin picture it shows) at `pictureGeometry`, then the
    // three buttons.
    TTutorialFrame(QWidget *parent, const char *pictureName, const QRect &pictureGeometry);

    // The page's picture.
    TImage *Picture() const { return m_picture; }

private:
    // What the built-in picture shows, for a screen reader.
    QString DefaultDescription() const;

    QString m_pictureName;
    TImage *m_picture;
};
