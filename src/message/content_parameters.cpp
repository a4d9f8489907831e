#include "log/log.h"
#include "message/ascii_case.h"
#include "message/message.h"
#include "platform/text.h"

// Content-Type and Content-Disposition values: a type, then "; name=value"
// parameters, read as far as they make sense.
namespace kivo {

namespace {

constexpr std::size_t npos = std::string::npos;

std::string parameter_name(const std::string& value, std::size_t begin, std::size_t end)
{
    return platform::to_lower(trim(std::string_view(value).substr(begin, end - begin)));
}

// Sets the delimiters of a multipart part, or makes a multipart part
// without a boundary plain text, so it is never scanned.
void complete_type(MimePart& part)
{
    if (!equal_ascii_no_case(part.type, "multipart"))
        return;
    auto boundary = part.type_parameters.find("boundary");
    if (boundary != part.type_parameters.end() && !boundary->second.empty()) {
        part.delimiter = "--" + boundary->second;
        part.close_delimiter = part.delimiter + "--";
        return;
    }
    part.type = "text";
    part.subtype = "plain";
    part.type_parameters.clear();
}

}  // namespace

void Message::parse_content_disposition(const std::string& value, MimePart& part)
{
    try {
        if (value.empty())
            return;
        const std::size_t end = value.size();
        std::size_t p = value.find(';');
        part.disposition = value.substr(0, p);
        if (part.disposition.empty() || p == npos)
            return;
        for (;;) {  // p is at a ";"
            if (p + 1 >= end)
                return;
            const std::size_t s = value.find_first_not_of(' ', p + 1);
            if (s == npos)
                return;
            const std::size_t e = value.find('=', s);
            if (e == npos || e == s)
                return;
            const std::string name = parameter_name(value, s, e);
            if (e + 1 >= end)
                return;
            const std::size_t v = value.find_first_not_of(' ', e + 1);
            if (v == npos)
                return;
            std::string parameter;
            if (value[v] == '"') {
                if (v + 2 >= end)
                    return;
                std::size_t close = v + 1;
                while (close < end && !(value[close] == '"' && value[close - 1] != '\\'))
                    ++close;
                parameter = value.substr(v + 1, close - (v + 1));
                // The next parameter starts after the closing quote: a ";"
                // inside the quotes is part of the value.
                p = close < end ? value.find(';', close + 1) : npos;
            } else {
                p = value.find(';', v);
                parameter = value.substr(v, p == npos ? npos : p - v);
            }
            if (!name.empty() && !parameter.empty())
                part.disposition_parameters[name] = parameter;
            if (p == npos)
                return;
        }
    } catch (...) {
        app_log().write_line("Error in Message::parse_content_disposition. Input string=%s\n", value.c_str());
    }
}

void Message::parse_content_type(const std::string& value, MimePart& part)
{
    try {
        if (value.empty())
            return;
        const std::size_t end = value.size();
        std::size_t p = value.find_first_of("/;");
        part.type = value.substr(0, p);
        part.subtype.clear();
        if (p == npos)
            return;
        if (value[p] == '/') {
            if (p + 1 >= end)
                return;
            const std::size_t q = value.find(';', p + 1);
            part.subtype = value.substr(p + 1, q == npos ? npos : q - (p + 1));
            p = q;
        }
        for (;;) {
            if (p == npos || value[p] != ';') {
                complete_type(part);
                return;
            }
            const std::size_t s = value.find_first_not_of("; \t\n\v\f\r", p);
            if (s == npos) {
                // A trailing ";" after the last parameter is common and harmless.
                complete_type(part);
                return;
            }
            const std::size_t e = value.find('=', s);
            if (e == npos || e == s) {
                complete_type(part);
                return;
            }
            const std::string name = parameter_name(value, s, e);
            if (e + 1 >= end)
                return;
            const std::size_t v = value.find_first_not_of(' ', e + 1);
            if (v == npos)
                return;
            std::string parameter;
            if (value[v] == '"') {
                if (v + 2 >= end)
                    return;
                const std::size_t close = value.find('"', v + 1);
                parameter = value.substr(v + 1, close == npos ? npos : close - (v + 1));
                // A ";" inside the quotes (a boundary may hold one) does not
                // start a parameter.
                p = close == npos ? npos : value.find(';', close + 1);
            } else {
                p = value.find(';', v);
                parameter = value.substr(v, p == npos ? npos : p - v);
            }
            if (!name.empty() && !parameter.empty())
                part.type_parameters[name] = parameter;
            if (p == npos || p >= end) {
                complete_type(part);
                return;
            }
        }
    } catch (...) {
        app_log().write_line("Error in Message::parse_content_type. Input string=%s\n", value.c_str());
    }
}

}  // namespace kivo
