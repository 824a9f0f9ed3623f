#pragma once
// TEllipsisLabel: a label that shortens a text too long for it with an
// ellipsis: at the end (EllipsisEnd), after the last whole word that fits
// (EllipsisWord) or in the middle, keeping both ends of a path
// (EllipsisPath). With none of them set it paints like a plain label.

#include <QLabel>

class TEllipsisLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TEllipsisLabel(QWidget *parent = nullptr);

    bool EllipsisEnd() const { return m_end; }
    void SetEllipsisEnd(bool on);
    bool EllipsisWord() const { return m_word; }
    void SetEllipsisWord(bool on);
    bool EllipsisPath() const { return m_path; }
    void SetEllipsisPath(bool on);

    // The text as it is shown at `width` pixels with the current flags.
    QString ShownText(int width) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_end = false;
    bool m_word = false;
    bool m_path = false;
};
