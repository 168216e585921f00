// The lines entered in one input box, browsed with the arrow keys: slot 0 is
// the text being typed when browsing began, slot 1 the newest line, the last
// slot the oldest; browsing is circular through all of them.
// Tested by tests/comms/command_history_test.cpp.
#pragma once

#include <deque>
#include <string>

class TarqCommandHistory {
public:
    // Older lines go once this many are held: a long session must not make
    // every Add slower, nor hold every line it ever saw.
    static constexpr size_t kMaxLines = 500;

    TarqCommandHistory() { Clear(); }
    virtual ~TarqCommandHistory() = default;

    void Add(std::string line);
    // One step towards older lines; the text to show.
    std::string Previous(std::string current);
    // One step towards newer lines.
    std::string Next(std::string current);
    void Clear();
    void ResetBrowse() { m_position = 0; }

    // Slots, the edit slot included.
    int Count() const { return static_cast<int>(m_lines.size()) + 1; }
    int GetPosition() const { return m_position; }

private:
    const std::string& Slot(int slot) const { return slot == 0 ? m_edit : m_lines[slot - 1]; }

    std::string m_edit;
    std::deque<std::string> m_lines;  // newest first
    int m_position = 0;
};
