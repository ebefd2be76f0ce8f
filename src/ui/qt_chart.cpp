#include "ui/qt_chart.h"

#include "thermo/numerical_fault.h"
#include "ui/unit_choice.h"

namespace envelope {

namespace {

void CheckSeries(int series)
{
    if (series < 0 || series >= Chart::SeriesCount)
        RaiseNumericalFault(FaultKind::Index, "chart series out of range");
}

} // namespace

QColor ColourFromBgr(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

QtChart::~QtChart()
{
    delete form_.data();
}

Form2& QtChart::loadedForm()
{
    if (form_.isNull()) {
        form_ = new Form2;
        closed_ = false;
        applyCaption();
        if (units_ != nullptr)
            form_->followUnits(*units_);
        if (!conditions_.isEmpty())
            form_->setConditionMarkers(conditions_);
        QObject::connect(form_.data(), &Form2::tracedOverlayWanted, form_.data(), [this] {
            if (overlaySource_)
                setTracedOverlay(overlaySource_());
        });
        QObject::connect(form_.data(), &Form2::closed, form_.data(), [this] { closed_ = true; });
        if (formMade_)
            formMade_(*form_);
    }
    return *form_;
}

Form2& QtChart::writtenForm()
{
    Form2& form = loadedForm();
    // A closed window starts afresh, as a new one would.
    if (closed_) {
        closed_ = false;
        form.clearPoints();
        for (int series = 0; series < Chart::SeriesCount; ++series)
            form.setSeriesTitle(series, QString());
    }
    return form;
}

void QtChart::setBridgeEstimate(bool estimate)
{
    if (estimate || !form_.isNull())
        loadedForm().setBridgeEstimate(estimate);
}

void QtChart::setConditionMarkers(const QList<Form2::ConditionMarker>& markers)
{
    conditions_ = markers;
    if (!form_.isNull())
        form_->setConditionMarkers(conditions_);
}

void QtChart::setSeriesTitle(int series, const std::string& title)
{
    CheckSeries(series);
    writtenForm().setSeriesTitle(series, QString::fromStdString(title));
}

int QtChart::addPoint(int series, double x, double y, const std::string& label, Colour colour)
{
    CheckSeries(series);
    // A point that is not a finite number has no place in the x order.
    Finite(x);
    Finite(y);
    return writtenForm().addPoint(series, QPointF(x, y), QString::fromStdString(label), ColourFromBgr(colour));
}

void QtChart::clear()
{
    if (form_.isNull())
        return;
    form_->clearPoints();
    // A traced envelope already shown is that of the earlier mixture: it is
    // traced again from the source, which now gives the mixture in use.
    if (form_->hasTracedOverlay() && overlaySource_)
        setTracedOverlay(overlaySource_());
}

void QtChart::setMixtureName(const QString& name)
{
    mixtureName_ = name;
    applyCaption();
}

void QtChart::setModelName(const QString& name)
{
    modelName_ = name;
    applyCaption();
}

void QtChart::applyCaption()
{
    if (form_.isNull())
        return;
    QString caption = QStringLiteral("Envelope");
    for (const QString& part : {mixtureName_, modelName_})
        if (!part.isEmpty())
            caption += QStringLiteral(" \u2014 ") + part;
    form_->setWindowTitle(caption);
    form_->setFullLegend(!mixtureName_.isEmpty());
}

void QtChart::showForm()
{
    Form2& form = loadedForm();
    closed_ = false;
    form.show();
    form.raise();
    form.activateWindow();
}

void QtChart::setTracedOverlaySource(std::function<TracedOverlay()> source)
{
    overlaySource_ = std::move(source);
}

void QtChart::setTracedOverlay(const TracedOverlay& overlay)
{
    QList<QPointF> curve;
    curve.reserve(static_cast<qsizetype>(overlay.curve.size()));
    for (const TracedOverlay::Point& p : overlay.curve)
        curve.append(QPointF(p.temperature, p.pressure));
    QList<QPair<QString, QPointF>> markers;
    for (const TracedMarker& m : overlay.markers)
        markers.append({QString::fromStdString(m.name), QPointF(m.temperature, m.pressure)});
    loadedForm().setTracedOverlay(curve, markers, QString::fromStdString(overlay.verdict));
}

} // namespace envelope
