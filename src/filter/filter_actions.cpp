#include "filter/filter_actions.h"

#include "filter/power_filter.h"
#include "message/message.h"

namespace kivo::filter {

void FireActions(const PowerFilter& filter, const Message& message, FilterActions& actions)
{
    actions.FilterMatched(filter);
    if (filter.runMailer)
        actions.RunMailer();
    if (filter.launchProgram && !filter.launchProgramPath.empty())
        actions.LaunchProgram(filter.launchProgramPath);
    if (filter.playSound && !filter.soundFile.empty())
        actions.PlaySoundFile(filter.soundFile);
    // Without a base URL the query alone is no address to request.
    if (filter.sendMsgToUrl && !filter.urlForSending.empty())
        actions.SendToUrl(BuildQuery(filter.urlForSending, message));
}

std::string PercentEncode(const std::string& value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size() * 3);
    for (char c : value) {
        auto byte = static_cast<unsigned char>(c);
        bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                     byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string BuildQuery(const std::string& url, const Message& message)
{
    return url + "?to=" + PercentEncode(message.to()) + "&cc=" + PercentEncode(message.cc()) +
           "&bcc=" + PercentEncode(message.bcc()) + "&subject=" + PercentEncode(message.subject()) +
           "&emailbody=" + PercentEncode(message.body_text());
}

}  // namespace kivo::filter
