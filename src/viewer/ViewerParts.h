#pragma once

// What the score window's pages make alike: captions, tables, the choice
// buttons, and the list of a log's skipped lines.

#include "results/SkippedLines.h"

#include <QSettings>

class QAbstractButton;
class QLabel;
class QString;
class QTableView;
class QWidget;

namespace tekkora {

// White text on the window's colour, as the drill's static captions.
QLabel *makeCaption(QWidget *parent, const QString &text);

// A radio button of the window: its background the window's.
void paintAsChoice(QAbstractButton *button);

// A read-only table of whole rows, sortable by its header, the sort arrow
// pointing as on Windows; named for screen readers, and left by Tab.
void setUpTable(QTableView *table, const QString &name);

// The score window's own settings (the drill's tekora.ini is the drill's):
// ~/.config/Tekkora/tekkora-score.conf.
QSettings viewerSettings();

// Sorts the table by the order saved under `name` in the window's settings,
// else by `column` and `order`, and saves each order chosen from then on
// (a header clicked, or sortByColumn()).
void keepSortOrder(QTableView *table, const QString &name, int column, Qt::SortOrder order);

// The first skipped lines with their numbers and reasons, for a tooltip;
// empty when there are none.
QString skippedList(const QList<SkippedLine> &kept, qsizetype count);

} // namespace tekkora
