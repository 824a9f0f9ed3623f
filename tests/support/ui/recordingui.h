#pragma once
// Test double of the UI services. It answers every message box, save dialog,
// print dialog and shell request from a script (or from defaults when the
// script is empty) and records what was asked, so a widget test can assert
// on texts and titles without a real modal box ever blocking it. Print jobs
// are painted onto a capturing canvas that records every drawn text with its
// position and point size, and optionally also into a PDF file chosen by the
// test. Constructing a recorder installs it; destroying it restores the
// services that were installed before.

#include "framework/uiservices.h"

#include <QList>
#include <QPointF>
#include <QSet>
#include <QStringList>
#include <deque>
#include <functional>

struct RecordedBox {
    QString text;
    QString title;
    MsgKind kind;
    int answer;
};

struct RecordedSave {
    QString filter;
    QString defaultName;
    QString defaultSuffix;
    QString answer; // empty: cancelled
};

struct PrintedText {
    QString text;
    QPointF position;
    qreal pointSize;
};

struct RecordedPrint {
    QString documentName;
    bool accepted;
    QList<PrintedText> texts;
};

struct RecordedShell {
    QString target;
    ShellVerb verb;
    bool answer;
};

class RecordingUi : public UiServices
{
public:
    RecordingUi();
    ~RecordingUi() override;
    RecordingUi(const RecordingUi &) = delete;
    RecordingUi &operator=(const RecordingUi &) = delete;

    // --- scripts (consumed front first; defaults apply when empty) ---
    std::deque<int> boxAnswers;           // MSG_RESULT_*
    int defaultInfoAnswer = MSG_RESULT_OK;
    int defaultYesNoAnswer = MSG_RESULT_YES;
    std::deque<QString> saveAnswers;      // default: cancelled
    std::deque<bool> printAnswers;        // default: accepted
    QString printPdfPath;                 // non-empty: also print each accepted job into this PDF
    std::deque<bool> shellAnswers;        // default: accepted
    QSet<QString> filesWithoutProgram;    // HasAssociatedProgram answers false for these paths
    QSet<QString> openWindows;            // titles TopLevelWindowExists reports
    // Called while a box is "on screen", after it was recorded.
    std::function<void(const RecordedBox &)> onMessageBox;

    // --- records ---
    QList<RecordedBox> boxes;
    QList<RecordedSave> saves;
    QList<RecordedPrint> prints;
    QList<RecordedShell> shells;
    QStringList associationQueries;
    QStringList windowQueries;

    QStringList BoxTexts() const;
    void Clear();

    int ShowMessageBox(const QString &text, const QString &title, MsgKind kind) override;
    QString GetSaveFileName(QWidget *parent, const QString &filter, const QString &defaultName,
                            const QString &defaultSuffix) override;
    bool Print(QWidget *parent, const QString &documentName, const PrintPainter &paint) override;
    bool ShellOpen(const QString &target, ShellVerb verb) override;
    bool HasAssociatedProgram(const QString &path) override;
    bool TopLevelWindowExists(const QString &title) override;

private:
    UiServices *m_previous;
};
