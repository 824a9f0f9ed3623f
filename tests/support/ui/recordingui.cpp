#include "ui/recordingui.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QTextItem>

namespace {

// A paint engine that draws nothing and keeps every text item.
class TextCaptureEngine : public QPaintEngine
{
public:
    explicit TextCaptureEngine(QList<PrintedText> *out) : QPaintEngine(QPaintEngine::AllFeatures), m_out(out) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyFont)
            m_font = state.font();
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override
    {
        m_out->append({textItem.text(), p, m_font.pointSizeF()});
    }
    Type type() const override { return QPaintEngine::User; }

private:
    QList<PrintedText> *m_out;
    QFont m_font;
};

// An A4 page at 1200 dpi, like a high-resolution printer.
class TextCaptureDevice : public QPaintDevice
{
public:
    explicit TextCaptureDevice(QList<PrintedText> *out) : m_engine(out) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        constexpr int dpi = 1200;
        switch (metric) {
        case PdmWidth:
            return 210 * dpi * 10 / 254;
        case PdmHeight:
            return 297 * dpi * 10 / 254;
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    mutable TextCaptureEngine m_engine;
};

template <typename T> T Take(std::deque<T> &script, const T &fallback)
{
    if (script.empty())
        return fallback;
    T value = script.front();
    script.pop_front();
    return value;
}

} // namespace

RecordingUi::RecordingUi() : m_previous(Ui())
{
    SetUiServices(this);
}

RecordingUi::~RecordingUi()
{
    SetUiServices(m_previous == this ? nullptr : m_previous);
}

QStringList RecordingUi::BoxTexts() const
{
    QStringList texts;
    for (const RecordedBox &box : boxes)
        texts << box.text;
    return texts;
}

void RecordingUi::Clear()
{
    boxes.clear();
    saves.clear();
    prints.clear();
    shells.clear();
    associationQueries.clear();
    windowQueries.clear();
}

int RecordingUi::ShowMessageBox(const QString &text, const QString &title, MsgKind kind)
{
    const int fallback = kind == MsgKind::YesNo ? defaultYesNoAnswer : defaultInfoAnswer;
    const int answer = Take(boxAnswers, fallback);
    boxes.append({text, title, kind, answer});
    if (onMessageBox)
        onMessageBox(boxes.constLast());
    return answer;
}

QString RecordingUi::GetSaveFileName(QWidget *, const QString &filter, const QString &defaultName,
                                     const QString &defaultSuffix)
{
    const QString answer = Take(saveAnswers, QString());
    saves.append({filter, defaultName, defaultSuffix, answer});
    return answer;
}

bool RecordingUi::Print(QWidget *, const QString &documentName, const PrintPainter &paint)
{
    const bool accepted = Take(printAnswers, true);
    RecordedPrint job{documentName, accepted, {}};
    if (accepted && paint) {
        TextCaptureDevice canvas(&job.texts);
        QPainter painter(&canvas);
        paint(painter);
        painter.end();
        if (!printPdfPath.isEmpty()) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printPdfPath);
            printer.setDocName(documentName);
            QPainter pdfPainter(&printer);
            paint(pdfPainter);
        }
    }
    prints.append(job);
    return accepted;
}

bool RecordingUi::ShellOpen(const QString &target, ShellVerb verb)
{
    const bool answer = Take(shellAnswers, true);
    shells.append({target, verb, answer});
    return answer;
}

bool RecordingUi::HasAssociatedProgram(const QString &path)
{
    associationQueries << path;
    return !filesWithoutProgram.contains(path);
}

bool RecordingUi::TopLevelWindowExists(const QString &title)
{
    windowQueries << title;
    return openWindows.contains(title);
}
