#include "message/url.h"

#include "log/log.h"

namespace kivo {

Url::Url(const std::string& text) { SetUrl(text); }

Url::Url(const std::string& scheme, const std::string& user, const std::string& password, const std::string& host,
         const std::string& path)
    : scheme_(scheme), user_(user), password_(password), host_(host), path_(path)
{
    if (scheme_.empty())
        return;
    std::string text = scheme_ + "://";
    // The credentials part is written even for an empty user: SetUrl needs
    // the ":" and "@" to read the text back, and the password is kept.
    text += user_ + ":" + password_ + "@";
    if (host_.empty() && path_.empty())
        return;
    url_ = text + host_ + path_;
    valid_ = true;
}

void Url::SetUrl(const std::string& text)
{
    url_.clear();
    scheme_.clear();
    user_.clear();
    password_.clear();
    host_.clear();
    path_.clear();
    valid_ = false;
    try {
        if (text.empty())
            return;
        std::size_t scheme_end = text.find("://");
        if (scheme_end == std::string::npos)
            return;
        scheme_ = text.substr(0, scheme_end);
        std::string rest = text.substr(scheme_end + 3);

        // The user ends at the first ":", the password at the last "@", so
        // only the password may hold ":" and "@".
        std::size_t colon = rest.find(':');
        if (colon == std::string::npos)
            return;
        user_ = rest.substr(0, colon);
        rest.erase(0, colon + 1);

        std::size_t at = rest.rfind('@');
        if (at == std::string::npos)
            return;
        password_ = rest.substr(0, at);
        rest.erase(0, at + 1);

        std::size_t slash = rest.find('/');
        if (slash == std::string::npos)
            return;
        host_ = rest.substr(0, slash);
        path_ = rest.substr(slash);

        url_ = text;
        valid_ = true;
    } catch (...) {
        url_.clear();
        valid_ = false;
        app_log().write_line("Error in Url::SetUrl. Input string=%s\n", text.c_str());
    }
}

}  // namespace kivo
