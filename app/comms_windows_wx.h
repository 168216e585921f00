// The windows of the weather panel and the SELCAL panel, and the ATIS maker's
// modal dialog: controls built from resources/comms_dialog_layouts.h and
// bound to the plain classes, which decide everything.
// Tested by tests/app/program_test.cpp.
#pragma once

#include <memory>

class TarqWeatherPanel;
class TarqSELCALPanel;

class WxCommsWindows {
public:
    // Also says how the ATIS maker runs its dialog.
    WxCommsWindows(TarqWeatherPanel& weather, TarqSELCALPanel& selcal);
    ~WxCommsWindows();
    WxCommsWindows(const WxCommsWindows&) = delete;
    WxCommsWindows& operator=(const WxCommsWindows&) = delete;

    // The windows while they exist (tests).
    void* GetWeatherDialog() const;
    void* GetSelcalDialog() const;
    // The ATIS maker's dialog while it is open (tests).
    static void* GetOpenAtisDialog();

    class Panel;

private:
    std::unique_ptr<Panel> m_weather;
    std::unique_ptr<Panel> m_selcal;
};
