#include "DeferredIcon.h"

#include <QIconEngine>

namespace tekkora {

namespace {

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
    // Whether there will be an image is not known without loading it; the
    // icons deferred here always have one.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("tekkora.deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon &icon()
    {
        if (load_) {
            icon_ = load_();
            load_ = nullptr;
        }
        return icon_;
    }

    std::function<QIcon()> load_;
    QIcon icon_;
};

} // namespace

QIcon deferredIcon(std::function<QIcon()> load)
{
    return QIcon(new DeferredIconEngine(std::move(load)));
}

} // namespace tekkora
