#pragma once

#include <string>
#include <vector>

class QListWidget;
class QWidget;

namespace vorlane {

// The connection page's list of dial-up entries (RasConnectionsCheckListBox): one row a
// connection profile, ticked as the stored RasConnection names them.
class DialUpList
{
public:
    explicit DialUpList(QWidget* parent);

    QListWidget* View() const { return view_; }

    // The entries, none ticked, the first one current.
    void Fill(const std::vector<std::string>& names);
    // Ticks the rows the stored text names.
    void Select(const std::string& rasConnection);
    // The stored text of the ticked rows.
    std::string Selected() const;

private:
    std::vector<std::string> Names() const;

    QListWidget* view_;
};

} // namespace vorlane
