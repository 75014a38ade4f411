#pragma once

#include <QDateTime>

namespace tekkora {

// The current local date and time, as stamped on each score record.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual QDateTime now() = 0;
};

class SystemLocalClock final : public LocalClock {
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

} // namespace tekkora
