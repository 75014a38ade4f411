#include "ViewerParts.h"

#include "Palette.h"
#include "SortArrowHeader.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace tekkora {

QLabel *makeCaption(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    paintAsCaption(label);
    return label;
}

void paintAsChoice(QAbstractButton *button)
{
    paintAsCaption(button);
    // A radio button fills its background from the button colour.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colours::Background);
    button->setPalette(palette);
}

void setUpTable(QTableView *table, const QString &name)
{
    table->setAccessibleName(name);
    table->setTabKeyNavigation(false);
    table->setHorizontalHeader(new SortArrowHeader(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

QSettings viewerSettings()
{
    return QSettings(QStringLiteral("Tekkora"), QStringLiteral("tekkora-score"));
}

void keepSortOrder(QTableView *table, const QString &name, int column, Qt::SortOrder order)
{
    const QString columnKey = name + QStringLiteral("/sortColumn");
    const QString ascendingKey = name + QStringLiteral("/ascending");
    const QSettings settings = viewerSettings();
    const int saved = settings.value(columnKey, column).toInt();
    if (saved >= 0 && saved < table->model()->columnCount()) {
        order = settings.value(ascendingKey, order == Qt::AscendingOrder).toBool() ? Qt::AscendingOrder
                                                                                  : Qt::DescendingOrder;
        column = saved;
    }
    table->horizontalHeader()->setSortIndicator(column, order);
    table->setSortingEnabled(true);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, table,
                     [columnKey, ascendingKey](int column, Qt::SortOrder order) {
                         QSettings settings = viewerSettings();
                         settings.setValue(columnKey, column);
                         settings.setValue(ascendingKey, order == Qt::AscendingOrder);
                     });
}

QString skippedList(const QList<SkippedLine> &kept, qsizetype count)
{
    constexpr qsizetype Listed = 20;
    if (count == 0)
        return QString();
    const qsizetype listed = std::min(kept.size(), Listed);
    QStringList lines{QStringLiteral("読み飛ばした行 (行番号: 理由)")};
    for (qsizetype i = 0; i < listed; ++i)
        lines << QStringLiteral("%1 行目: %2").arg(kept[i].line).arg(skipReasonText(kept[i].reason));
    if (count > listed)
        lines << QStringLiteral("ほか %1 行").arg(count - listed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace tekkora
