#pragma once
#include <string>

namespace kivo {

// An account's server address with its credentials, as one text of the form
// scheme "://" user ":" password "@" host path, and as its parts.
class Url {
public:
    Url() = default;
    explicit Url(const std::string& text);
    Url(const std::string& scheme, const std::string& user, const std::string& password, const std::string& host,
        const std::string& path);
    virtual ~Url() = default;

    Url(const Url&) = default;
    Url& operator=(const Url&) = default;
    Url(Url&&) = default;
    Url& operator=(Url&&) = default;

    // Replaces the whole value by the parse of text. A text of the wrong
    // shape leaves valid() false; the parts found before the mismatch stay.
    void SetUrl(const std::string& text);

    const std::string& url() const { return url_; }
    const std::string& scheme() const { return scheme_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    const std::string& host() const { return host_; }
    const std::string& path() const { return path_; }
    bool valid() const { return valid_; }

private:
    std::string url_;
    std::string scheme_;
    std::string user_;
    std::string password_;
    std::string host_;
    std::string path_;
    bool valid_ = false;
};

}  // namespace kivo
