// The report button's flow: a save dialog that asks before replacing a file,
// the picture composed with its overlays as a still save makes it, the
// results and summary texts as the page shows them, then the PDF; the
// outcome goes to the message line.
#pragma once

#include "engine/RgnData.h"
#include "workflow/measure/report/MeasureReport.h"

#include <functional>
#include <vector>

class CRgnDataCtrl;
class IPictureState;
class IStatusLine;
struct SYSTEM_SETTING;

struct REPORT_FLOW_PARTS {
    IStatusLine& status;
    IPictureState& picture;
    const SYSTEM_SETTING& setting;
    const std::vector<MEASURE_DATA>& results;
    // The overlay's engine, or null when there is none.
    std::function<const CRgnDataCtrl*()> fnEngine;
    // Where the picture came from: the camera's name and serial, or the file's name.
    std::function<REPORT_HEADER()> fnSource;
};

// The texts a report of these results holds, without the picture.
REPORT_CONTENT BuildReportContent(const std::vector<MEASURE_DATA>& results, const SYSTEM_SETTING& setting);

class CReportFlow {
public:
    explicit CReportFlow(const REPORT_FLOW_PARTS& parts) : m_Parts(parts) {}
    void OnSaveReport();

private:
    REPORT_FLOW_PARTS m_Parts;
};
