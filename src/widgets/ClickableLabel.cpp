#include "ClickableLabel.h"

#include "AccessibleFactory.h"

#include <QAccessibleWidget>

namespace tekkora {

namespace {

class ClickableLabelInterface final : public QAccessibleWidget {
public:
    explicit ClickableLabelInterface(ClickableLabel *label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            label()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ClickableLabel *label() const { return static_cast<ClickableLabel *>(widget()); }
};

} // namespace

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent)
{
    static const bool provided = (setAccessibleInterface(staticMetaObject, [](QObject *object) -> QAccessibleInterface * {
                                      return new ClickableLabelInterface(static_cast<ClickableLabel *>(object));
                                  }),
                                  true);
    Q_UNUSED(provided);
}

} // namespace tekkora
