#include "message/default_text.h"

#include "message_ids.h"
#include "platform/message_text.h"

namespace kivo {

const std::string& none_text()
{
    static const std::string text = [] {
        std::string t = platform::message_text(MSG_NONE);
        return t.empty() ? std::string("None") : t;
    }();
    return text;
}

}  // namespace kivo
