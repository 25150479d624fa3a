#pragma once

#include "ChartOptions.h"
#include "EventGuard.h"

#include <QRectF>
#include <QWidget>

class QPaintDevice;

namespace korvane {

class AlongLineChart;
class ProfileChart;

// Both charts at the export size, laid out but never on screen: the chart
// along the line above the profile.
class ChartSheet : public QWidget {
  public:
    ChartSheet(const RunList& runs, const ChartOptions& options);

    // Draws both charts scaled into `page` of the device, as vectors unless
    // it is a picture. False when the device cannot be painted on.
    bool Paint(QPaintDevice& device, const QRectF& page, bool vectors);

  private:
    // Nothing on the sheet takes clicks, so nothing can be reported.
    class NoErrors : public ErrorBox {
      public:
        void ShowError(const std::string&) override {}
    };
    NoErrors errors_;
    AlongLineChart* along_;
    ProfileChart* profile_;
};

} // namespace korvane
