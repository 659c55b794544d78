#pragma once

#include <string>

namespace flr {

// The user's home folder: $HOME when it is an absolute path, otherwise the password
// database's entry (cron and systemd start programs without HOME); empty when neither knows
// one. Never a shared folder such as /tmp.
std::string HomeFolder();

}  // namespace flr
