#include "ui/legend_entry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace envelope {

namespace {

constexpr int IconSize = 14;

} // namespace

LegendEntry::LegendEntry(Symbol symbol, const QColor& colour, const QString& text, QWidget* parent)
    : QWidget(parent), symbol_(symbol), colour_(colour), icon_(new QLabel(this)), text_(new QLabel(text, this))
{
    icon_->setFixedSize(IconSize, IconSize);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(icon_, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    drawIcon();
}

QString LegendEntry::text() const
{
    return text_->text();
}

void LegendEntry::setText(const QString& text)
{
    text_->setText(text);
}

void LegendEntry::setSymbol(Symbol symbol, const QColor& colour)
{
    symbol_ = symbol;
    colour_ = colour;
    drawIcon();
}

void LegendEntry::drawIcon()
{
    QPixmap picture(IconSize, IconSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2.5, 2.5, IconSize - 5, IconSize - 5);
    const bool filled = symbol_ == Symbol::Circle || symbol_ == Symbol::Diamond;
    painter.setPen(QPen(colour_, filled ? 1 : 2));
    painter.setBrush(filled ? QBrush(colour_) : QBrush(Qt::NoBrush));
    switch (symbol_) {
    case Symbol::Line:
        painter.drawLine(QPointF(0, IconSize / 2.0), QPointF(IconSize, IconSize / 2.0));
        break;
    case Symbol::Circle:
    case Symbol::HollowCircle:
        painter.drawEllipse(box.adjusted(1, 1, -1, -1));
        break;
    case Symbol::HollowSquare:
        painter.drawRect(box);
        break;
    case Symbol::HollowTriangle:
        painter.drawPolygon(QPolygonF{QPointF(box.center().x(), box.top()), box.bottomRight(), box.bottomLeft()});
        break;
    case Symbol::Diamond:
    case Symbol::HollowDiamond:
        painter.drawPolygon(QPolygonF{QPointF(box.center().x(), box.top()), QPointF(box.right(), box.center().y()),
                                      QPointF(box.center().x(), box.bottom()), QPointF(box.left(), box.center().y())});
        break;
    }
    painter.end();
    icon_->setPixmap(picture);
}

} // namespace envelope
