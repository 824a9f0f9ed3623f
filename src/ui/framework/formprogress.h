#pragma once
// The small modal "Please wait..." window a page shows while it waits for
// the device. It animates a progress bar, starts the page's work (OnProcess)
// on its first tick, about 200 ms after it appeared, and ends when the page
// or the work closes it with success or failure, or with failure by itself
// after 1500 further ticks. The user cannot close it: Alt+F4 and Escape are
// swallowed.

#include <QDialog>
#include <functional>

// How a wait under the progress dialog ended. The values are the dialog's
// modal results, which the pages' log lines show as numbers.
enum class ProgressResult : int {
    NotShown = 0,
    Success = 1,
    Failure = 2,
};

class QLabel;
class QProgressBar;
class QTimer;
class TImage;

class TFormProgress : public QDialog
{
    Q_OBJECT
public:
    // Ticks after the first one before the dialog gives up with a failure.
    static constexpr int TickLimit = 1500;
    static constexpr int TickInterval = 200;

    explicit TFormProgress(QWidget *parent = nullptr);
    ~TFormProgress() override;

    // The page's start step; called once, on the first tick.
    std::function<void()> OnProcess;

    // Centres the dialog over the window holding `page` (over the
    // application's main window when the page has none), shows it modally
    // and returns how it ended (failure also at the time limit).
    ProgressResult Execute(QWidget *page);

    // Ends the wait with `result`.
    void Close(ProgressResult result) { done(int(result)); }

    // The dialog's own integer tag; pages set it to 0 before use.
    int Tag = 0;

    // The tick count kept in TimerProc's tag (0 before the first tick).
    int TimerProcTag() const { return m_timerTag; }

    QProgressBar *ProgressBar1;
    QTimer *TimerProc;
    TImage *ImgBG;
    QLabel *LbWait;

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void TimerProcTimer();

    int m_timerTag = 0;
    bool m_ended = false;
};
