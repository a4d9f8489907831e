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

std::string BuildQuery(const std::string& url, const Message& message)
{
    std::string query = url;
    query += "?to=";
    query += message.to();
    query += "&cc=";
    query += message.cc();
    query += "&bcc=";
    query += message.bcc();
    query += "&subject=";
    query += message.subject();
    query += "&emailbody=";
    query += message.body_text();
    return query;
}

}  // namespace kivo::filter
