// What the "Diagrams" dialog shows and does, without the window: the SID and
// STAR lists with the scope's selections marked, selection changes and the
// two Clear buttons. The window copies between its list boxes and this.
// Tested by tests/scope/diagrams_dialog_test.cpp.
#pragma once

#include <string>
#include <vector>

class TarqDisplayScope;

struct DiagramListRows {
    std::vector<std::string> names;  // in sector-file order
    std::vector<int> selected;       // row indices
};

class DiagramsDialogModel {
public:
    explicit DiagramsDialogModel(TarqDisplayScope& scope) : m_scope(scope) {}

    DiagramListRows SidRows() const;
    DiagramListRows StarRows() const;
    // The user changed a list's selection to these rows.
    void OnSidSelection(const std::vector<int>& rows);
    void OnStarSelection(const std::vector<int>& rows);
    // Clear buttons; the window deselects its list too.
    void ClearSids();
    void ClearStars();

private:
    TarqDisplayScope& m_scope;
};
