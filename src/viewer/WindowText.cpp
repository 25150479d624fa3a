#include "WindowText.h"

#include "RunExport.h"
#include "WhatIfNames.h"

#include <cmath>

namespace korvane {

QString LimitName(const WindowLimit& limit) {
    return QString::fromStdString(limit.Label.empty() ? limit.Metric : limit.Label);
}

QString LimitRange(const WindowLimit& limit) {
    const QString unit = QString::fromStdString(MetricUnit(limit.Metric));
    return QString::fromStdString(ShortestNumber(limit.Min)) + "–" +
           QString::fromStdString(ShortestNumber(limit.Max)) + (unit.isEmpty() ? "" : " " + unit);
}

QString Verdict(const LimitResult& result) {
    if (std::isnan(result.Value))
        return "no value, FAIL";
    return result.Pass ? "pass" : "FAIL";
}

QString WindowValue(double value) {
    return std::isnan(value) ? QString("no value") : QString::number(value, 'g', 6);
}

QString WindowIndex(double index) {
    if (std::isnan(index))
        return "no value";
    // An index beyond ten million says no more in all its digits.
    return std::abs(index) < 1e7 ? QString::number(index, 'f', 1) : QString::number(index, 'g', 3);
}

} // namespace korvane
