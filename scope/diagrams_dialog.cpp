// The diagrams dialog's behaviour. Tested by tests/scope/diagrams_dialog_test.cpp.
#include "scope/diagrams_dialog.h"

#include <algorithm>

#include "scope/display_scope.h"
#include "scope/scope_host.h"

namespace {

DiagramListRows Rows(const std::vector<std::string>& names, const std::vector<std::string>& selection) {
    DiagramListRows rows;
    rows.names = names;
    for (size_t i = 0; i < names.size(); ++i)
        if (std::find(selection.begin(), selection.end(), names[i]) != selection.end())
            rows.selected.push_back(static_cast<int>(i));
    return rows;
}

std::vector<std::string> Selected(const std::vector<std::string>& names, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> out;
    for (int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < names.size()) out.push_back(names[static_cast<size_t>(row)]);
    return out;
}

}  // namespace

DiagramListRows DiagramsDialogModel::SidRows() const {
    return Rows(m_scope.GetSectorData().sidNames, m_scope.GetSelectedSIDs());
}

DiagramListRows DiagramsDialogModel::StarRows() const {
    return Rows(m_scope.GetSectorData().starNames, m_scope.GetSelectedSTARs());
}

void DiagramsDialogModel::OnSidSelection(const std::vector<int>& rows) {
    m_scope.Host().MarkProfileModified();
    m_scope.SetSelectedSIDs(Selected(m_scope.GetSectorData().sidNames, rows));
}

void DiagramsDialogModel::OnStarSelection(const std::vector<int>& rows) {
    m_scope.Host().MarkProfileModified();
    m_scope.SetSelectedSTARs(Selected(m_scope.GetSectorData().starNames, rows));
}

void DiagramsDialogModel::ClearSids() {
    if (!m_scope.GetSelectedSIDs().empty()) m_scope.Host().MarkProfileModified();
    m_scope.SetSelectedSIDs({});
}

void DiagramsDialogModel::ClearStars() {
    if (!m_scope.GetSelectedSTARs().empty()) m_scope.Host().MarkProfileModified();
    m_scope.SetSelectedSTARs({});
}
