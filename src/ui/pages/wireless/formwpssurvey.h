#pragma once
// The WPS AP site survey dialog: a small modal window the WPS page opens so
// that, in bridge mode, the user can pick the access point to join by PIN
// from the networks the device sees that offer WPS, instead of typing its
// name. Select ends it with 1 (the page then reads SelectedSsid), Cancel
// with 2. While it is open the WPS page hands every message it receives on
// to the dialog (ForwardMessage), so the engine's answers reach the list
// during the modal loop.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <cstdint>

class TFrameWPSSiteSurvey;
class TTrifaceBtn;
class QKeyEvent;
class QWidget;

class TFormWPSSurvey : public QDialog
{
    Q_OBJECT
public:
    explicit TFormWPSSurvey(QWidget *parent = nullptr);
    ~TFormWPSSurvey() override;

    // Centres the dialog over the window that contains `page` (over the
    // application's main window when there is none), shows it modally and
    // returns the modal result; 0 when it could not be shown.
    int ShowCentered(QWidget *page);

    // Posts the message (same id, wParam, lParam) to the list frame.
    void ForwardMessage(int id, intptr_t wParam, intptr_t lParam);

    // The SSID bytes of the selected network; empty when none is selected.
    QByteArray SelectedSsid() const;

    void BtnSelectClick();
    void BtnCancelClick();
    // Clicks Select when it is shown and enabled (Return, a double click on
    // a network).
    void PressSelect();

    // Controls, in creation (tab) order.
    TFrameWPSSiteSurvey *FrameWPSSiteSurvey1 = nullptr;
    TTrifaceBtn *BtnSelect = nullptr;
    TTrifaceBtn *BtnCancel = nullptr;

protected:
    // On show: the frame's texts, then a fresh survey; the focus goes to
    // the list.
    void showEvent(QShowEvent *event) override;
    // Return is Select, Escape is Cancel.
    void keyPressEvent(QKeyEvent *event) override;
};
