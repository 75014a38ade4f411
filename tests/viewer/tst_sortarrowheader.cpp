// The score window's tables point their sort arrow as Windows does (up for
// an ascending order, down for a descending one) in every style Qt has
// here: also in Windows' own, under Wine in the Windows build.

#include "ViewerParts.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionHeader>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace tekkora;

namespace {

// Whether the arrow the header shows points down: of the pixels it changes
// where the style puts it, the widest row (by its ends, so a chevron counts
// as a filled arrow) lies above the narrowest.
bool arrowPointsDown(QHeaderView *header)
{
    const int section = header->sortIndicatorSection();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.sortIndicator = QStyleOptionHeader::SortDown;
    option.rect = QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
    const QRect arrow = header->style()->subElementRect(QStyle::SE_HeaderArrow, &option, header).adjusted(-2, -2, 2, 2);
    const QImage with = header->viewport()->grab(arrow).toImage();
    header->setSortIndicatorShown(false);
    const QImage without = header->viewport()->grab(arrow).toImage();
    header->setSortIndicatorShown(true);
    QList<int> widths;
    for (int y = 0; y < with.height(); ++y) {
        int left = with.width();
        int right = -1;
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                left = std::min(left, x);
                right = x;
            }
        }
        if (right >= 0)
            widths << right - left;
    }
    return !widths.isEmpty() && widths.first() > widths.last();
}

} // namespace

class TestSortArrowHeader : public QObject {
    Q_OBJECT
private slots:
    void arrow_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("ascending");
        const QStringList styles = QStyleFactory::keys();
        // The look the score window takes on Windows.
        if (QSysInfo::productType() == QLatin1String("windows"))
            QVERIFY2(styles.contains(QStringLiteral("windowsvista")), qPrintable(styles.join(QLatin1Char(' '))));
        for (const QString &style : styles) {
            QTest::addRow("%s, ascending", qPrintable(style)) << style << true;
            QTest::addRow("%s, descending", qPrintable(style)) << style << false;
        }
    }
    void arrow()
    {
        QFETCH(QString, style);
        QFETCH(bool, ascending);
        const std::unique_ptr<QStyle> look(QStyleFactory::create(style));
        QStandardItemModel model(3, 2);
        model.setHorizontalHeaderLabels({QStringLiteral("文字"), QStringLiteral("日時")});
        QTableView table;
        table.setStyle(look.get());
        setUpTable(&table, QStringLiteral("文字ごとの記録"));
        table.horizontalHeader()->setStyle(look.get());
        table.setModel(&model);
        table.setSortingEnabled(true);
        table.sortByColumn(1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        table.resize(320, 160);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(arrowPointsDown(table.horizontalHeader()), !ascending);
    }
};

QTEST_MAIN(TestSortArrowHeader)
#include "tst_sortarrowheader.moc"
