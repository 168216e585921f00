// Tested by tests/app/chat_program_test.cpp.
#include "app/chat_windows_wx.h"

#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>
#include <wx/wx.h>

#include <algorithm>
#include <vector>

#include "app/chat_windows.h"
#include "app/command_bindings.h"
#include "app/global_objects.h"
#include "app/menu_title.h"
#include "app/tool_window_dialog.h"
#include "app/wx_text.h"
#include "comms/chat_window.h"
#include "comms/command_processor.h"
#include "foundation/profile.h"

namespace {

// Item numbers kept from the dialog's resource.
constexpr int kLogId = 1094;
constexpr int kMemberListId = 1107;
constexpr int kInputId = 1108;

wxWindow* MainWindow() {
    return g_displayManager ? static_cast<wxWindow*>(g_displayManager->GetMainWindow()) : nullptr;
}

// GTK's text control shows a CR as a glyph; the window's log keeps CR LF.
wxString Display(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return ToWx(out);
}

ChatKey KeyOf(int code) {
    switch (code) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            return ChatKey::Enter;
        case WXK_ESCAPE:
            return ChatKey::Escape;
        case WXK_TAB:
            return ChatKey::Tab;
        case WXK_UP:
            return ChatKey::Up;
        case WXK_DOWN:
            return ChatKey::Down;
        case WXK_PAGEUP:
            return ChatKey::PageUp;
        case WXK_PAGEDOWN:
            return ChatKey::PageDown;
        default:
            return ChatKey::Other;
    }
}

// The virtual-key code of a key as the profile's "PTTKey" names keys: letters,
// digits, function keys, the space bar and the keypad's digits.
int VirtualKeyOf(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || code == WXK_SPACE) return code;
    if (code >= WXK_F1 && code <= WXK_F24) return 0x70 + (code - WXK_F1);
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) return 0x60 + (code - WXK_NUMPAD0);
    if (code == WXK_CONTROL) return 0x11;
    if (code == WXK_SHIFT) return 0x10;
    if (code == WXK_ALT) return 0x12;
    return 0;
}

// The member list: members that are not known controllers are drawn grey.
class MemberList final : public wxVListBox {
public:
    MemberList(wxWindow* parent, const wxPoint& at, const wxSize& size)
        : wxVListBox(parent, kMemberListId, at, size, wxBORDER_SUNKEN) {}
    void SetMembers(std::vector<std::string> members) {
        std::sort(members.begin(), members.end());
        m_members = std::move(members);
        SetItemCount(m_members.size());
        Refresh();
    }
    const std::vector<std::string>& Members() const { return m_members; }

private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override {
        const bool known = ChatHostOfShell().IsKnownController(m_members[n]);
        dc.SetTextForeground(
            wxSystemSettings::GetColour(known ? wxSYS_COLOUR_WINDOWTEXT : wxSYS_COLOUR_GRAYTEXT));
        dc.DrawText(ToWx(m_members[n]), rect.x + 3, rect.y + 1);
    }
    wxCoord OnMeasureItem(size_t) const override { return GetCharHeight() + 2; }

    std::vector<std::string> m_members;
};

class ChatDialog final : public TarqToolWindowDialog {
public:
    ChatDialog(TarqChatWindow& window)
        : TarqToolWindowDialog(
              window, MainWindow(), "Group Chat",
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW),
          m_window(window) {
        m_log = new wxTextCtrl(this, kLogId, "", ConvertDialogToPixels(wxPoint(2, 2)),
                               ConvertDialogToPixels(wxSize(132, 66)), wxTE_MULTILINE | wxTE_READONLY);
        if (window.IsGroup()) {
            m_members = new MemberList(this, ConvertDialogToPixels(wxPoint(136, 2)),
                                       ConvertDialogToPixels(wxSize(54, 66)));
        }
        if (!window.IsIncomingLog()) {
            m_input = new wxTextCtrl(this, kInputId, "", ConvertDialogToPixels(wxPoint(2, 70)),
                                     wxSize(ConvertDialogToPixels(wxSize(188, 0)).x, -1),
                                     wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB);
        }
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { m_window.OnCloseBox(); });
        // Escape is the input box's key, never the dialog's cancel.
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                m_window.OnInputKey(ChatKey::Escape);
                return;
            }
            e.Skip();
        });
        Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& e) {
            e.Skip();
            if (e.GetActive()) m_window.OnActivated();
        });
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            e.Skip();
            m_window.Relayout();
        });
        m_log->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
            e.Skip();
            long from, to;
            m_log->GetSelection(&from, &to);
            if (from != to) CallAfter([this] { m_window.OnLogSelectionMade(); });
        });
        m_log->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent& e) {
            e.Skip();
            CallAfter([this] { m_window.OnLogDoubleClick(); });
        });
        if (m_input) {
            m_input->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
                if (m_window.OnInputKey(KeyOf(e.GetKeyCode()))) return;
                // Holding the push-to-talk key types nothing: a key down
                // that goes no further makes no character.
                const int ptt = g_profile ? g_profile->GetInt("PTTKey") : 0;
                if (ptt != 0 && VirtualKeyOf(e.GetKeyCode()) == ptt) return;
                e.Skip();
            });
            m_input->Bind(wxEVT_CHAR, [](wxKeyEvent& e) {
                if (!TarqChatWindow::SwallowsChar(e.GetKeyCode())) e.Skip();
            });
        }
        if (m_members) {
            m_members->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) { OnMemberMenu(e); });
            m_members->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
                e.Skip();
                if (m_input) CallAfter([this] { m_input->SetFocus(); });
            });
        }
    }

    wxTextCtrl* Log() const { return m_log; }
    wxTextCtrl* Input() const { return m_input; }
    MemberList* Members() const { return m_members; }

private:
    void OnMemberMenu(wxContextMenuEvent& e) {
        const wxPoint at = m_members->ScreenToClient(e.GetPosition());
        const int row = m_members->VirtualHitTest(at.y);
        if (row < 0 || row >= static_cast<int>(m_members->Members().size())) {
            e.Skip();  // the window's own menu
            return;
        }
        const std::string member = m_members->Members()[row];
        wxMenu menu;
        menu.Append(TarqChatWindow::kRemoveFromGroupCommand, "Remove From Group");
        menu.Append(TarqChatWindow::kPrivateChatCommand, "Private Chat");
        AppendRollUpItem(menu);
        InsertMenuTitle(&menu, member);
        const int command = m_members->GetPopupMenuSelectionFromUser(menu, at);
        if (command != wxID_NONE && !RunRollUpItem(command)) m_window.OnMemberMenu(command, member);
    }

    TarqChatWindow& m_window;
    wxTextCtrl* m_log = nullptr;
    wxTextCtrl* m_input = nullptr;
    MemberList* m_members = nullptr;
};

// The chat window's view of its dialog; the dialog may go first, with the
// main display window that owns it.
class WxChatView final : public ChatWindowView {
public:
    WxChatView(TarqChatWindow& window, int x, int y, int width, int height) {
        m_dialog = new ChatDialog(window);
        m_dialog->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
            e.Skip();
            if (e.GetEventObject() == m_dialog) m_dialog = nullptr;
        });
        m_dialog->Place(x, y, width, height, false);
    }
    ~WxChatView() override {
        if (!m_dialog) return;
        ChatDialog* doomed = m_dialog;
        m_dialog = nullptr;
        doomed->Hide();
        delete doomed;
    }

    ChatDialog* Dialog() const { return m_dialog; }

    void SetCaption(const std::string& caption) override {
        if (m_dialog) m_dialog->SetTitle(ToWx(caption));
    }
    void SetLogText(const std::string& text) override {
        if (!m_dialog) return;
        m_dialog->Log()->ChangeValue(Display(text));
        ScrollLogToEnd();
    }
    void AppendLogText(const std::string& text) override {
        if (m_dialog) m_dialog->Log()->AppendText(Display(text));
    }
    void ScrollLogToEnd() override {
        if (!m_dialog) return;
        m_dialog->Log()->SetInsertionPointEnd();
        m_dialog->Log()->ShowPosition(m_dialog->Log()->GetLastPosition());
    }
    void ScrollLogPage(int direction) override {
        if (m_dialog) m_dialog->Log()->ScrollPages(direction);
    }
    std::string GetLogSelection() const override {
        return m_dialog ? FromWx(m_dialog->Log()->GetStringSelection()) : std::string();
    }
    std::string GetInputText() const override {
        return m_dialog && m_dialog->Input() ? FromWx(m_dialog->Input()->GetValue()) : std::string();
    }
    void SetInputText(const std::string& text) override {
        if (!m_dialog || !m_dialog->Input()) return;
        m_dialog->Input()->ChangeValue(ToWx(text));
        m_dialog->Input()->SetInsertionPointEnd();
    }
    void FocusInput() override {
        if (m_dialog && m_dialog->Input()) m_dialog->Input()->SetFocus();
    }
    void SetMembers(const std::vector<std::string>& members) override {
        if (m_dialog && m_dialog->Members()) m_dialog->Members()->SetMembers(members);
    }
    bool IsForeground() const override { return m_dialog && m_dialog->IsActive(); }
    void Flash(bool on) override {
        if (m_dialog && on) m_dialog->RequestUserAttention(wxUSER_ATTENTION_INFO);
    }
    void CopyToClipboard(const std::string& text) override {
        if (!wxTheClipboard->Open()) return;
        wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
        wxTheClipboard->Close();
    }
    void GetClientSize(int* width, int* height) const override {
        *width = *height = 0;
        if (m_dialog) m_dialog->GetClientSize(width, height);
    }
    int GetInputHeight() const override {
        return m_dialog && m_dialog->Input() ? m_dialog->Input()->GetSize().y : 0;
    }
    int GetMemberListWidth() const override {
        return m_dialog && m_dialog->Members() ? m_dialog->Members()->GetSize().x : 0;
    }
    void PlaceLog(int x, int y, int w, int h) override {
        if (m_dialog) m_dialog->Log()->SetSize(x, y, std::max(w, 1), std::max(h, 1));
    }
    void PlaceInput(int x, int y, int w, int h) override {
        if (m_dialog && m_dialog->Input()) m_dialog->Input()->SetSize(x, y, std::max(w, 1), std::max(h, 1));
    }
    void PlaceMemberList(int x, int y, int w, int h) override {
        if (m_dialog && m_dialog->Members())
            m_dialog->Members()->SetSize(x, y, std::max(w, 1), std::max(h, 1));
    }

private:
    ChatDialog* m_dialog = nullptr;
};

}  // namespace

WxChatWindows::WxChatWindows() {
    ChatForwarderOfShell().target = [](const std::string& line, const std::string& name) {
        ChatCommandContext chat{name, ChatWindowKind::Private};
        if (name == TarqChatWindow::kIncomingChatLog) {
            chat.kind = ChatWindowKind::IncomingLog;
        } else if (!name.empty() && name[0] == ':') {
            chat = {name.substr(1), ChatWindowKind::Group};
        }
        CommandProcessorOfShell().ProcessChatLine(chat, line);
    };
    ShellChatHost& host = ChatHostOfShell();
    host.SetViewFactory(
        [](TarqChatWindow& window, int x, int y, int w, int h) -> std::unique_ptr<ChatWindowView> {
            return std::make_unique<WxChatView>(window, x, y, w, h);
        });
    host.SetPoster([](std::function<void()> job) {
        wxTheApp->CallAfter([job = std::move(job)] {
            if (g_chatManager) job();
        });
    });
    host.mainWindowCorner = [](int* x, int* y) {
        wxWindow* main = MainWindow();
        if (!main) return false;
        const wxPoint at = main->GetScreenPosition();
        *x = at.x;
        *y = at.y;
        return true;
    };
    host.pointOnMonitor = [](int x, int y) { return wxDisplay::GetFromPoint(wxPoint(x, y)) != wxNOT_FOUND; };
    host.activateMainDisplay = [] {
        if (wxWindow* main = MainWindow()) {
            main->Raise();
            main->SetFocus();
        }
    };
}

WxChatWindows::~WxChatWindows() {
    ChatForwarderOfShell().target = nullptr;
    ShellChatHost& host = ChatHostOfShell();
    host.SetViewFactory(nullptr);
    host.SetPoster(nullptr);
    host.mainWindowCorner = nullptr;
    host.pointOnMonitor = nullptr;
    host.activateMainDisplay = nullptr;
}

void* WxChatWindows::GetDialog(const TarqChatWindow& window) {
    auto* view = dynamic_cast<WxChatView*>(window.GetView());
    return view ? static_cast<wxDialog*>(view->Dialog()) : nullptr;
}
