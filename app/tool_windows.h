// The communications panel, the aircraft list, the controller list and the
// flight plan editor as the program holds them: each wraps its plain model
// from tools/, answers it from the global objects and hands what the user
// sees to a window bound in the wx layer (CommsPanelView). Events only mark
// the lists; the frame tick rebuilds each at most once, however many came.
// Tested by tests/app/program_test.cpp; the models by tests/tools/.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/comms_windows.h"
#include "foundation/tool_window.h"
#include "tools/aircraft_list.h"
#include "tools/comms_entries.h"
#include "tools/controller_list.h"
#include "tools/flight_plan_editor.h"

class TarqAircraftDB;

// What the panel asks of the voice engine beyond the rooms: its routing
// switches and the microphone mute, reached through the global engine.
class CommsRouting {
public:
    virtual ~CommsRouting() = default;
    virtual bool GetAutoRoute() const = 0;
    virtual bool GetAirGroundToSpeaker() const = 0;
    virtual bool GetGroundGroundToSpeaker() const = 0;
    virtual void SetAutoRoute(bool on) = 0;
    virtual void SetAirGroundToSpeaker(bool on) = 0;
    virtual void SetGroundGroundToSpeaker(bool on) = 0;
    virtual void SetMicMute(bool on) = 0;
};

class TarqCommsPanel final : public TarqToolWindow {
public:
    TarqCommsPanel();
    ~TarqCommsPanel() override;

    void SetView(CommsPanelView* view) { m_view = view; }
    CommsEntries& Entries() { return *m_entries; }
    const CommsEntries& Entries() const { return *m_entries; }
    CommsRouting& Routing();
    // The "Mute" toggle: the microphone is cut while it is checked.
    void SetMuteChecked(bool on);
    bool IsMuteChecked() const { return m_muteChecked; }

    void Create();
    // A new session: no selections, no rooms, the editor hidden.
    void Refresh();
    // Every frame tick: the rooms' states back into the boxes, redrawn only
    // when something changed.
    void OnFrameTick();
    // The profile's devices (by name), squelch, volumes and VHF simulation
    // to the voice engine; a session opening.
    void ApplyAudioSettings();
    void ResetVoice();
    // The network is gone: push-to-talk, rooms and land lines end and the
    // voice boxes clear, so no entry is left pointing at a dead room.
    void SyncVoiceCheckboxes();
    int GetPrimaryFrequency() const { return m_entries->GetPrimaryFrequency(); }
    // The editor's entry, or -1 while it is hidden.
    int GetEditedEntry() const { return m_editorShown ? m_editedEntry : -1; }
    void OpenEditor(int index);
    void CloseEditor();
    // "Save Changes": the refusal's message, or saved and the editor hidden.
    CommsSaveResult SaveEditedEntry(const CommsEditorTexts& texts);
    // After a box was clicked: the view shows the model's selections again.
    void SelectionChanged();

private:
    struct Snapshot;
    Snapshot Take() const;

    class Services;
    class Voice;
    std::unique_ptr<Services> m_services;
    std::unique_ptr<Voice> m_voice;
    std::unique_ptr<CommsEntries> m_entries;
    std::unique_ptr<Snapshot> m_shown;
    CommsPanelView* m_view = nullptr;
    int m_editedEntry = 0;
    bool m_editorShown = false;
    bool m_muteChecked = false;
};

class TarqAircraftList final : public TarqToolWindow {
public:
    static constexpr int kWidth = 212;

    explicit TarqAircraftList(const TarqAircraftDB& db);
    ~TarqAircraftList() override;

    void SetView(CommsPanelView* view) { m_view = view; }
    AircraftListModel& Model() { return m_model; }
    const std::string& GetDetailText() const { return m_detailText; }

    void Create();
    // Marks the list; the next timer tick rebuilds it once.
    void Rebuild() { m_model.RequestRebuild(); }
    void OnTimer();
    void LoadFieldSettings();
    void ShowFlightPlanDetails(const std::string& callsign);
    std::string GetCallsignForLabel(const std::string& text) const {
        return m_model.GetCallsignForLabel(text);
    }

    // The window's row clicks.
    void OnRowClick(size_t row, int x, int y, bool altDown);
    void OnRowDoubleClick(size_t row);
    // The main display's aircraft menu for the row, at a screen point; none
    // for a header row.
    void ShowAircraftMenuForRow(int screenX, int screenY, size_t row);

private:
    AircraftDBListSource m_source;
    AircraftListModel m_model;
    std::string m_detailText;
    CommsPanelView* m_view = nullptr;
};

class TarqControllerList final : public TarqToolWindow {
public:
    static constexpr int kWidth = 212;

    TarqControllerList();
    ~TarqControllerList() override;

    void SetView(CommsPanelView* view) { m_view = view; }
    ControllerListModel& Model() { return *m_model; }
    const std::string& GetInfoText() const { return m_infoText; }

    void Create();
    // Marks the list; the next frame tick rebuilds it once.
    void Rebuild() { m_model->RequestRebuild(); }
    void OnFrameTick();
    void ShowControllerInfo(const std::string& callsign);

    // The window's buttons and clicks.
    void SetSortButtons(bool alphaSort, bool positionFileOnly);
    void OnRowClick(size_t row, int x, int y);
    void OnRowDoubleClick(size_t row);
    // A context menu item chosen on a row: its dot commands, in order, run
    // on the main display as menu commands.
    void RunMenuCommand(size_t row, int command);

private:
    void RebuildNow();

    class Source;
    std::unique_ptr<Source> m_source;
    std::unique_ptr<ControllerListModel> m_model;
    std::string m_infoText;
    CommsPanelView* m_view = nullptr;
};

// The window of the flight plan editor also gives back what the user typed.
class FlightPlanEditorView : public CommsPanelView {
public:
    virtual FlightPlanFields ReadFields() const = 0;
    virtual void SetSquawkText(const std::string& text) = 0;
};

class TarqFlightPlanEditor final : public TarqToolWindow {
public:
    TarqFlightPlanEditor();
    ~TarqFlightPlanEditor() override;

    void SetView(FlightPlanEditorView* view) { m_view = view; }
    FlightPlanEditorModel& Model() { return *m_model; }
    const FlightPlanFields& GetShownFields() const { return m_fields; }

    void Create();
    // Fills the fields; the caller shows the window.
    void ShowFlightPlan(const std::string& callsign);
    std::string GetCallsign() const { return m_model->GetCallsign(); }
    void SetSquawkField(int code);

    // The buttons.
    void Amend();
    void AssignSquawk();
    void RefreshPlan() { ShowFlightPlan(GetCallsign()); }
    void Plot();

private:
    class Source;
    std::unique_ptr<Source> m_source;
    std::unique_ptr<FlightPlanEditorModel> m_model;
    FlightPlanFields m_fields;
    FlightPlanEditorView* m_view = nullptr;
};
