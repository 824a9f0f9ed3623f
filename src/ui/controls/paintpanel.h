#pragma once
// TPaintPanel: the panel control (the settings file's "panel" kind): a
// framed area that shows its Caption centred. When an OnPaint handler is
// installed it replaces the panel's own painting completely.

#include <QFrame>
#include <functional>

class QPainter;

class TPaintPanel : public QFrame
{
    Q_OBJECT
public:
    using PaintFn = std::function<void(TPaintPanel *panel, QPainter &painter)>;

    explicit TPaintPanel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    void SetOnPaint(PaintFn handler);
    bool HasOnPaint() const { return static_cast<bool>(m_onPaint); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    PaintFn m_onPaint;
};
