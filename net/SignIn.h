#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// Signing in to the network printer: HTTP Basic credentials checked through a PAM service, and the
// group an operation is kept for. Submitting jobs and looking at them is for anyone who can reach the
// listener; what the printer system keeps for a group (cancelling another user's job, pausing the
// printer, its settings) needs a user of that group who signs in.
struct Credentials {
    std::string user;
    std::string password;
};

// The user and password of an Authorization header of the Basic scheme; none for any other header.
std::optional<Credentials> basicCredentials(const std::string& header);

// Whether the PAM service accepts the password for the user and lets the account in now.
bool pamAccepts(const std::string& service, const Credentials& credentials);

// Whether the user is a member of the group, as its primary group or one of its others.
bool isGroupMember(const std::string& user, gid_t group);
