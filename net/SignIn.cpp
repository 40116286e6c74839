#include "net/SignIn.h"

#include <grp.h>
#include <pwd.h>
#include <security/pam_appl.h>
#include <unistd.h>

#include <cups/http.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* BASIC = "Basic ";
constexpr std::size_t LONGEST_HEADER = 4096;

// PAM asks for the password, and may tell things the printer has no one to show to. The answers must be
// malloc'ed: PAM frees them.
int answer(int count, const pam_message** messages, pam_response** responses, void* data)
{
    const auto* password = static_cast<const std::string*>(data);
    auto* answers =
        static_cast<pam_response*>(std::calloc(static_cast<std::size_t>(count), sizeof(pam_response)));
    if (answers == nullptr)
        return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        const int style = messages[i]->msg_style;
        if (style == PAM_PROMPT_ECHO_OFF || style == PAM_PROMPT_ECHO_ON)
            answers[i].resp = strdup(password->c_str());
    }
    *responses = answers;
    return PAM_SUCCESS;
}

} // namespace

std::optional<Credentials> basicCredentials(const std::string& header)
{
    if (header.size() > LONGEST_HEADER || header.compare(0, std::strlen(BASIC), BASIC) != 0)
        return std::nullopt;
    std::vector<char> decoded(header.size() + 1);
    int length = static_cast<int>(decoded.size());
    if (httpDecode64_2(decoded.data(), &length, header.c_str() + std::strlen(BASIC)) == nullptr)
        return std::nullopt;
    const std::string text(decoded.data(),
                           static_cast<std::size_t>(std::clamp(length, 0, int(decoded.size()))));
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || text.find('\0') != std::string::npos)
        return std::nullopt;
    return Credentials{.user = text.substr(0, colon), .password = text.substr(colon + 1)};
}

bool pamAccepts(const std::string& service, const Credentials& credentials)
{
    if (service.empty() || credentials.user.empty())
        return false;
    const pam_conv conversation{answer, const_cast<std::string*>(&credentials.password)};
    pam_handle_t* handle = nullptr;
    if (pam_start(service.c_str(), credentials.user.c_str(), &conversation, &handle) != PAM_SUCCESS)
        return false;
    int status = pam_authenticate(handle, PAM_SILENT);
    if (status == PAM_SUCCESS)
        status = pam_acct_mgmt(handle, PAM_SILENT);
    pam_end(handle, status);
    return status == PAM_SUCCESS;
}

bool isGroupMember(const std::string& user, gid_t group)
{
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user.c_str(), entry.pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user.c_str(), entry.pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}
