#include "filter/collected_actions.h"

namespace kivo::filter {

std::size_t CollectedActions::fire(FilterActions& target, const std::function<bool()>& stopped) const
{
    std::size_t fired = 0;
    for (const Action& action : actions_) {
        if (stopped && stopped())
            break;
        switch (action.kind) {
        case Kind::run_mailer:
            target.RunMailer();
            break;
        case Kind::launch_program:
            target.LaunchProgram(action.text);
            break;
        case Kind::play_sound:
            target.PlaySoundFile(action.text);
            break;
        case Kind::send_to_url:
            target.SendToUrl(action.text);
            break;
        }
        ++fired;
    }
    return fired;
}

}  // namespace kivo::filter
