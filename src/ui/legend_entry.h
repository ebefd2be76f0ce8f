#pragma once
// One entry of the chart window's legend beyond its five coloured labels: a
// small picture of how the series is drawn (a line, or a marker filled or
// hollow) beside its name, which wraps within the entry's width.

#include <QColor>
#include <QWidget>

class QLabel;

namespace envelope {

class LegendEntry : public QWidget {
    Q_OBJECT

public:
    enum class Symbol { Line, Circle, HollowCircle, HollowSquare, HollowTriangle, Diamond, HollowDiamond };

    LegendEntry(Symbol symbol, const QColor& colour, const QString& text, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setSymbol(Symbol symbol, const QColor& colour);
    Symbol symbol() const { return symbol_; }

private:
    void drawIcon();

    Symbol symbol_;
    QColor colour_;
    QLabel* icon_;
    QLabel* text_;
};

} // namespace envelope
