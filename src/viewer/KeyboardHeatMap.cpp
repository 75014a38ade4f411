#include "KeyboardHeatMap.h"

#include "AccessibleFactory.h"
#include "Fonts.h"
#include "KeyTableModel.h"
#include "Palette.h"
#include "results/ResultsText.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPointer>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tekkora {

namespace {

// The block is 14.5 keys wide and 4 rows high; a legend row beneath.
constexpr double BlockWidth = 14.5;
constexpr double BlockRows = 4.0;
constexpr double LegendRows = 0.9;
constexpr int MinimumUnit = 26;
constexpr int PreferredUnit = 40;

const QColor NoFigure(176, 176, 200);
// Pale for a good key, through yellow to red for the worst.
const QColor Good(250, 250, 235);
const QColor Middle(250, 210, 90);
const QColor Bad(215, 40, 40);

QColor blend(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor shadeAt(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t < 0.5 ? blend(Good, Middle, t * 2.0) : blend(Middle, Bad, t * 2.0 - 1.0);
}

QString percentOf(double rate)
{
    return formatFixed(rate * 100.0, 1) + QStringLiteral(" %");
}

QString msOf(const std::optional<std::uint32_t> &ms)
{
    return ms ? QStringLiteral("%1 ms").arg(*ms) : QStringLiteral("—");
}

// A key without questions is grey and hatched: told apart without colour.
void hatch(QPainter &painter, const QRectF &area, double radius)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(QColor(96, 96, 128), Qt::BDiagPattern));
    painter.drawRoundedRect(area, radius, radius);
}

// To a screen reader each key that answers a character is an item of the
// keyboard's list, named by its figures; the current key is the focused
// one while the keyboard has the focus, so the figures are spoken as the
// arrow keys move it.
class KeyInterface final : public QAccessibleInterface {
public:
    KeyInterface(KeyboardHeatMap *map, qsizetype index) : map_(map), index_(index) {}

    bool isValid() const override { return map_ && index_ < map_->keys().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return map_ ? map_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(map_); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return {};
        const int code = map_->keys()[index_].answers;
        return describeKey(code, map_->statistics() ? map_->statistics()->forKey(code) : nullptr);
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect area = map_->keyRect(map_->keys()[index_].answers);
        return QRect(map_->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.focusable = state.selectable = true;
        state.selected = map_->currentIndex() == index_;
        state.focused = state.selected && map_->hasFocus();
        state.invisible = !map_->isVisible();
        return state;
    }

private:
    QPointer<KeyboardHeatMap> map_;
    qsizetype index_; // in the map's keys
};

class HeatMapInterface final : public QAccessibleWidget {
public:
    explicit HeatMapInterface(KeyboardHeatMap *map) : QAccessibleWidget(map, QAccessible::List) {}
    ~HeatMapInterface() override
    {
        for (const QAccessible::Id id : children_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(answering().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<qsizetype> keys = answering();
        if (index < 0 || index >= keys.size())
            return nullptr;
        if (children_.size() != keys.size()) {
            for (const QAccessible::Id id : children_)
                QAccessible::deleteAccessibleInterface(id);
            children_.clear();
            for (const qsizetype key : keys)
                children_.append(QAccessible::registerAccessibleInterface(new KeyInterface(map(), key)));
        }
        return QAccessible::accessibleInterface(children_[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < children_.size(); ++i) {
            if (QAccessible::accessibleInterface(children_[i]) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        const int index = int(answering().indexOf(map()->currentIndex()));
        return map()->hasFocus() && index >= 0 ? child(index) : nullptr;
    }

private:
    KeyboardHeatMap *map() const { return static_cast<KeyboardHeatMap *>(widget()); }
    // The keys that answer a character, by their index in the map's keys.
    QList<qsizetype> answering() const
    {
        QList<qsizetype> keys;
        for (qsizetype i = 0; i < map()->keys().size(); ++i) {
            if (map()->keys()[i].answers != 0)
                keys.append(i);
        }
        return keys;
    }

    mutable QList<QAccessible::Id> children_;
};

} // namespace

QString describeKey(int keyCode, const CharacterFigures *figures)
{
    const QString key = QString(QChar(keyCode));
    if (figures == nullptr || figures->questions == 0)
        return QStringLiteral("%1  記録なし").arg(key);
    QString text = QStringLiteral("%1  %2 問  ミス %3 (%4)  中央値 %5  90%: %6")
                       .arg(key)
                       .arg(figures->questions)
                       .arg(figures->misses)
                       .arg(percentOf(figures->missRate.value_or(0.0)), msOf(figures->medianMs), msOf(figures->p90Ms));
    if (figures->comparedRuns > 0)
        text += QStringLiteral("  %1: %2 / %3")
                    .arg(comparisonText(figures->comparedRuns), msOf(figures->recentMedianMs),
                         msOf(figures->earlierMedianMs));
    return text;
}

KeyboardHeatMap::KeyboardHeatMap(QWidget *parent) : QWidget(parent)
{
    static const bool provided = (setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
                                      return new HeatMapInterface(static_cast<KeyboardHeatMap *>(object));
                                  }),
                                  true);
    Q_UNUSED(provided);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(QStringLiteral("キーボード"));
}

void KeyboardHeatMap::setKeys(QList<KeyCap> keys)
{
    keys_ = std::move(keys);
    current_ = -1;
    rescale();
    updateGeometry();
    update();
}

void KeyboardHeatMap::setStatistics(const KeyStatistics *statistics)
{
    statistics_ = statistics;
    rescale();
    update();
    if (current_ >= 0)
        emit currentKeyChanged(currentKey());
}

void KeyboardHeatMap::setShade(Shade shade)
{
    shade_ = shade;
    rescale();
    update();
}

std::optional<double> KeyboardHeatMap::figureOf(int keyCode) const
{
    const CharacterFigures *figures = statistics_ != nullptr ? statistics_->forKey(keyCode) : nullptr;
    if (figures == nullptr || figures->questions == 0)
        return std::nullopt;
    if (shade_ == Shade::MissRate)
        return figures->missRate;
    return figures->medianMs ? std::optional<double>(*figures->medianMs) : std::nullopt;
}

// Miss rates from none to the worst key's (a tenth at least, so that a few
// misses do not paint a key red); times from the fastest key to the slowest.
void KeyboardHeatMap::rescale()
{
    std::optional<double> low;
    std::optional<double> high;
    for (const KeyCap &key : keys_) {
        const std::optional<double> figure = figureOf(key.answers);
        if (!figure)
            continue;
        low = std::min(low.value_or(*figure), *figure);
        high = std::max(high.value_or(*figure), *figure);
    }
    if (shade_ == Shade::MissRate)
        scale_ = {0.0, std::max(high.value_or(0.0), 0.1)};
    else
        scale_ = {low.value_or(0.0), std::max(high.value_or(1.0), low.value_or(0.0) + 1.0)};
}

QColor KeyboardHeatMap::colourOf(int keyCode) const
{
    const std::optional<double> figure = figureOf(keyCode);
    if (!figure)
        return NoFigure;
    return shadeAt((*figure - scale_.low) / (scale_.high - scale_.low));
}

double KeyboardHeatMap::unit() const
{
    return std::min(width() / BlockWidth, height() / (BlockRows + LegendRows));
}

QPointF KeyboardHeatMap::origin() const
{
    const double u = unit();
    return {(width() - BlockWidth * u) / 2.0, (height() - (BlockRows + LegendRows) * u) / 2.0};
}

QRectF KeyboardHeatMap::keyArea(const KeyCap &key) const
{
    const double u = unit();
    return QRectF(origin() + key.at * u, QSizeF(u, u)).adjusted(1.5, 1.5, -1.5, -1.5);
}

QRectF KeyboardHeatMap::legendArea() const
{
    const double u = unit();
    return QRectF(origin() + QPointF(1.5 * u, BlockRows * u + 0.25 * u),
                  QSizeF((BlockWidth - 3.0) * u, LegendRows * u - 0.3 * u));
}

QRect KeyboardHeatMap::keyRect(int keyCode) const
{
    for (const KeyCap &key : keys_) {
        if (key.answers == keyCode && keyCode != 0)
            return keyArea(key).toAlignedRect();
    }
    return {};
}

QSize KeyboardHeatMap::sizeHint() const
{
    return QSize(int(BlockWidth * PreferredUnit), int((BlockRows + LegendRows) * PreferredUnit));
}

QSize KeyboardHeatMap::minimumSizeHint() const
{
    return QSize(int(BlockWidth * MinimumUnit), int((BlockRows + LegendRows) * MinimumUnit));
}

void KeyboardHeatMap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double u = unit();
    QFont label = japaneseFont(std::max(7.0, u * 0.3));
    label.setBold(true);
    QFont small = japaneseFont(std::max(6.0, u * 0.18));
    for (qsizetype i = 0; i < keys_.size(); ++i) {
        const KeyCap &key = keys_[i];
        const QRectF area = keyArea(key);
        painter.setPen(QPen(i == current_ ? Qt::black : QColor(64, 64, 128), i == current_ ? 2.5 : 1.0));
        painter.setBrush(key.answers != 0 ? colourOf(key.answers) : colours::Background.lighter(115));
        painter.drawRoundedRect(area, u * 0.08, u * 0.08);
        if (key.answers == 0)
            continue;
        const std::optional<double> figure = figureOf(key.answers);
        if (!figure)
            hatch(painter, area, u * 0.08);
        painter.setPen(Qt::black);
        painter.setFont(label);
        painter.drawText(area.adjusted(u * 0.1, u * 0.04, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString(QChar(key.answers)));
        if (figure) {
            painter.setFont(small);
            const QString text = shade_ == Shade::MissRate ? formatFixed(*figure * 100.0, 0) + QStringLiteral("%")
                                                           : QString::number(qRound(*figure));
            painter.drawText(area.adjusted(0, 0, -u * 0.08, -u * 0.04), Qt::AlignRight | Qt::AlignBottom, text);
        }
    }

    // The scale: its colours from one end to the other, the ends' figures
    // beside it, and the grey of a key without questions.
    const QRectF legend = legendArea();
    const double labelWidth = legend.width() * 0.16;
    const QRectF bar = legend.adjusted(labelWidth, legend.height() * 0.2, -2.0 * labelWidth, -legend.height() * 0.2);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0.0, Good);
    gradient.setColorAt(0.5, Middle);
    gradient.setColorAt(1.0, Bad);
    painter.setPen(QColor(64, 64, 128));
    painter.setBrush(gradient);
    painter.drawRect(bar);
    const auto end = [this](double value) {
        return shade_ == Shade::MissRate ? percentOf(value) : QStringLiteral("%1 ms").arg(qRound(value));
    };
    painter.setFont(small);
    painter.setPen(colours::Caption);
    painter.drawText(QRectF(legend.left(), legend.top(), labelWidth - 4, legend.height()),
                     Qt::AlignRight | Qt::AlignVCenter, end(scale_.low));
    painter.drawText(QRectF(bar.right() + 4, legend.top(), labelWidth, legend.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, end(scale_.high));
    const QRectF swatch(bar.right() + labelWidth + 4, bar.top(), bar.height(), bar.height());
    painter.setPen(QColor(64, 64, 128));
    painter.setBrush(NoFigure);
    painter.drawRect(swatch);
    hatch(painter, swatch, 0);
    painter.setPen(colours::Caption);
    painter.drawText(QRectF(swatch.right() + 4, legend.top(), labelWidth, legend.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("記録なし"));
}

qsizetype KeyboardHeatMap::keyAt(const QPointF &position) const
{
    for (qsizetype i = 0; i < keys_.size(); ++i) {
        if (keys_[i].answers != 0 && keyArea(keys_[i]).contains(position))
            return i;
    }
    return -1;
}

void KeyboardHeatMap::setCurrent(qsizetype index)
{
    if (index == current_)
        return;
    current_ = index;
    update();
    emit currentKeyChanged(currentKey());
    tellFocusedKey();
}

// The current key is the focused item of the keyboard's list: a screen
// reader speaks it.
void KeyboardHeatMap::tellFocusedKey()
{
    if (!hasFocus() || current_ < 0 || !QAccessible::isActive())
        return;
    int item = 0;
    for (qsizetype i = 0; i < current_; ++i)
        item += keys_[i].answers != 0 ? 1 : 0;
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(item);
    QAccessible::updateAccessibility(&focused);
}

bool KeyboardHeatMap::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const qsizetype key = keyAt(help->pos());
        if (key < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            const int code = keys_[key].answers;
            QToolTip::showText(help->globalPos(), describeKey(code, statistics_ ? statistics_->forKey(code) : nullptr), this,
                               keyArea(keys_[key]).toAlignedRect());
        }
        return true;
    }
    return QWidget::event(event);
}

void KeyboardHeatMap::mouseMoveEvent(QMouseEvent *event)
{
    const qsizetype key = keyAt(event->position());
    if (key >= 0)
        setCurrent(key);
    QWidget::mouseMoveEvent(event);
}

void KeyboardHeatMap::focusInEvent(QFocusEvent *event)
{
    // The keyboard starts on the first key that answers anything.
    if (current_ < 0)
        setCurrent(neighbour(0, 0));
    QWidget::focusInEvent(event);
    tellFocusedKey();
}

// From the current key, the nearest key that answers something in the
// direction given: along its row, or in the row above or below the key
// nearest below it (rows are staggered by a quarter or half key: down leans
// right and up leans left, so down and up again come back). (0, 0): the
// first key that answers.
qsizetype KeyboardHeatMap::neighbour(int dx, int dy) const
{
    if (current_ < 0 || (dx == 0 && dy == 0)) {
        for (qsizetype i = 0; i < keys_.size(); ++i) {
            if (keys_[i].answers != 0)
                return i;
        }
        return -1;
    }
    const QPointF from = keys_[current_].at;
    qsizetype best = current_;
    double bestDistance = qInf();
    for (qsizetype i = 0; i < keys_.size(); ++i) {
        const QPointF to = keys_[i].at;
        if (keys_[i].answers == 0 || i == current_ || to.y() - from.y() != dy)
            continue;
        const double along = (to.x() - from.x()) * dx;
        if (dx != 0 && along <= 0.0)
            continue;
        const double distance = dx != 0 ? along : std::abs(to.x() - from.x() - 0.25 * dy);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void KeyboardHeatMap::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left: setCurrent(neighbour(-1, 0)); break;
    case Qt::Key_Right: setCurrent(neighbour(1, 0)); break;
    case Qt::Key_Up: setCurrent(neighbour(0, -1)); break;
    case Qt::Key_Down: setCurrent(neighbour(0, 1)); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

} // namespace tekkora
