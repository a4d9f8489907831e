#pragma once
#include <cstdint>
#include <string>

#include "filter/size_filter.h"

namespace kivo {
class Message;
}

namespace kivo::filter {

// The mark a power filter gives a matching message.
enum class PowerMark { uncertain, deleted, friendly };

// Up to seven conditions on one message plus an optional size range, the
// mark a match gives, and up to four actions. Copied by value.
class PowerFilter : public SizeFilter {
public:
    PowerFilter() = default;

    // friendly wins; else uncertain; both false is "Mark as deleted".
    PowerMark mark() const;
    void set_mark(PowerMark mark);

    // Does the message meet the filter? A filter without any condition and
    // without a size bound never matches.
    bool Evaluate(const Message& message) const;

    std::string name;
    bool fromEnabled = false;
    bool subjectEnabled = false;
    bool toCcEnabled = false;
    bool attachEnabled = false;
    bool bodyEnabled = false;
    bool priorityEnabled = false;
    bool headerEnabled = false;
    std::int32_t fromCondition = 0;
    std::int32_t subjectCondition = 0;
    std::int32_t toCcCondition = 1;  // "doesn't contains"
    std::int32_t attachCondition = 0;
    std::int32_t bodyCondition = 0;
    std::int32_t headerCondition = 0;
    std::string from;
    std::string subject;
    std::string toCc;  // patterns separated by blanks or ";"
    std::int32_t priority = 3;
    std::string attach;
    std::string body;
    std::string header;
    bool runMailer = false;
    bool launchProgram = false;
    bool playSound = false;
    bool sendMsgToUrl = false;
    std::string launchProgramPath;
    std::string soundFile;
    std::string urlForSending;
    bool friendly = false;
    bool fromCase = false;
    bool subjectCase = false;
    bool toCcCase = false;
    bool attachCase = false;
    bool bodyCase = false;
    bool headerCase = false;

    bool operator==(const PowerFilter&) const = default;
};

}  // namespace kivo::filter
