#include "ProgramStyle.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <functional>

namespace tekkora {

namespace {

// An icon that asks for its images the first time anybody needs them.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> load)
        : load_(std::move(load))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // The style's icon is never null, and saying so needs no image.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("tekkora.deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon &icon()
    {
        if (!loaded_) {
            icon_ = load_();
            loaded_ = true;
        }
        return icon_;
    }

    std::function<QIcon()> load_;
    QIcon icon_;
    bool loaded_ = false;
};

} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);

    // The chevron points the way the text runs; keep that from the request,
    // whose option and widget may be gone by the time it is painted.
    const Qt::LayoutDirection direction = option != nullptr ? option->direction
                                          : widget != nullptr ? widget->layoutDirection()
                                                              : QGuiApplication::layoutDirection();
    const QPointer<const ProgramStyle> style(this);
    return QIcon(new DeferredIconEngine([style, icon, direction] {
        if (style.isNull())
            return QIcon();
        QStyleOption request;
        request.direction = direction;
        return style->baseStyle()->standardIcon(icon, &request, nullptr);
    }));
}

} // namespace tekkora
