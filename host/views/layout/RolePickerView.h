#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/layout/RolePickerModel.h"

#include <QAbstractButton>
#include <QWidget>

#include <map>
#include <memory>
#include <set>
#include <string>

class QComboBox;
class QLabel;
class QVBoxLayout;

namespace tandrel {

class AppState;

// One role of the role picker: a checkbox symbol (accent while ticked) and the role's name,
// the whole width of the row taking the click.
class RoleRow : public QAbstractButton {
    Q_OBJECT

public:
    RoleRow(const RoleResolver::RoleInfo &role, QWidget *parent = nullptr);

    const std::string &uuid() const { return uuid_; }
    bool isTicked() const { return ticked_; }
    void setTicked(bool ticked);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::string uuid_;
    bool ticked_ = false;
};

// The element editor's section for role text: which roles trigger the element (the top-level
// roles of the watched libraries, each with its sub-roles in a group that starts collapsed),
// and what it then shows. A top-level role and its sub-roles are ticked independently.
//
// The roles are read from `roles` afresh whenever the state object announces a change, each
// read under the query resolver's lock. The lists are read from a queued call, never inside
// the signal: a state signal may come while that lock is held on this very thread, and a read
// there could never take it.
class RolePickerView : public QWidget {
    Q_OBJECT

public:
    RolePickerView(AppState &state, const Uuid &id, std::shared_ptr<const RoleSource> roles,
                   QWidget *parent = nullptr);

    QLabel *heading() const { return heading_; }
    // Shown while the element has no role.
    QLabel *warning() const { return warning_; }
    // Shown in place of the list when there are no roles.
    QLabel *noRoles() const { return noRoles_; }
    QComboBox *displayMode() const { return displayMode_; }
    QLabel *help() const { return help_; }

    // The row of a role, shown or in a collapsed group; null for a role not listed.
    RoleRow *row(const std::string &uuid) const;
    // The disclosure button of a top-level role that has sub-roles; null otherwise.
    QAbstractButton *disclosure(const std::string &uuid) const;
    bool isExpanded(const std::string &uuid) const { return expanded_.contains(uuid); }
    // How often the list was read and built.
    int builds() const { return builds_; }

private:
    // The ticks, the warning and the help line of the element as it is now.
    void showElement();
    void scheduleBuild();
    void build();
    QWidget *makeGroup(const RoleGroup &group);
    QWidget *makeRow(const RoleResolver::RoleInfo &role);

    AppState &state_;
    Uuid id_;
    std::shared_ptr<const RoleSource> roles_;
    QLabel *heading_;
    QLabel *warning_;
    QWidget *list_;
    QVBoxLayout *listLayout_;
    QLabel *noRoles_;
    QComboBox *displayMode_;
    QLabel *help_;
    std::map<std::string, RoleRow *> rows_;
    std::map<std::string, QAbstractButton *> disclosures_;
    std::set<std::string> expanded_;
    bool buildPending_ = false;
    int builds_ = 0;
};

} // namespace tandrel
