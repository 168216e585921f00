// Tested by tests/comms/command_history_test.cpp.
#include "comms/command_history.h"

void TarqCommandHistory::Add(std::string line) {
    m_lines.push_front(std::move(line));
    if (m_lines.size() > kMaxLines) m_lines.pop_back();
    ResetBrowse();
}

std::string TarqCommandHistory::Previous(std::string current) {
    if (m_position == 0) m_edit = std::move(current);
    if (++m_position > Count() - 1) m_position = 0;
    return Slot(m_position);
}

std::string TarqCommandHistory::Next(std::string current) {
    if (m_position == 0) m_edit = std::move(current);
    if (--m_position < 0) m_position = Count() - 1;
    return Slot(m_position);
}

void TarqCommandHistory::Clear() {
    m_lines.clear();
    m_edit.clear();
    m_position = 0;
}
