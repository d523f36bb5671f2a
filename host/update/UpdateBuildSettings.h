#pragma once

namespace tandrel::updateBuildSettings {

// The build's update settings (CMake cache variables of the same names).
// TANDREL_UPDATE_SERVER: the update server, empty for none.
extern const char *const server;
// TANDREL_UPDATE_TEAM_ID: the team whose signature an update must carry.
extern const char *const teamIdentifier;
// TANDREL_UPDATE_TRUSTED_KEYS: "TEAM=base64 key" pairs separated by ",".
extern const char *const trustedKeys;

} // namespace tandrel::updateBuildSettings
