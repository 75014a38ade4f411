#pragma once

// What the score window's pages make alike: captions, tables, the choice
// buttons, and the list of a log's skipped lines.

#include "results/SkippedLines.h"

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
// pointing as on Windows.
void setUpTable(QTableView *table);

// The first skipped lines with their numbers and reasons, for a tooltip;
// empty when there are none.
QString skippedList(const QList<SkippedLine> &kept, qsizetype count);

} // namespace tekkora
